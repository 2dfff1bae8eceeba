#pragma once

#include <QString>

class QWidget;

namespace skarvel {

// Asks for a destination folder, with `sPrompt` as the dialog's title, modal to `lOwner`.
// Answers the folder's path without a trailing separator ("/" stays "/" for the root), or ""
// when the person cancels.
QString BrowseForFolder(QWidget* lOwner, const QString& sPrompt);

} // namespace skarvel
