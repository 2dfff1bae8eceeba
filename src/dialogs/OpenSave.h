#pragma once

#include "base/ModalServices.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace skarvel {

// The open and save file dialogs behind a handful of properties. Each property write only
// stores its value; PrepareDialog turns them into the dialog's settings when a dialog is shown.
// After a dialog FileName holds the chosen full path, or "" when the person cancelled, and is
// offered as the initial name of the next dialog on the same object.
class OpenSave {
public:
    // The longest initial file name a dialog takes.
    static constexpr qsizetype kMaxFileName = 255;

    // Filter list as description|pattern pairs: "Gif|*.gif", "Immagini|*.gif;*.bmp|Tutti|*.*".
    void setFilter(const QString& sFilter) { m_filter = sFilter; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& sFileName) { m_fileName = sFileName; }
    void setDialogTitle(const QString& sTitle) { m_title = sTitle; }
    void sethOwner(QWidget* New_hOwner) { m_owner = New_hOwner; }
    void setDefaultExt(const QString& sDefExt) { m_defaultExt = sDefExt; }
    void setInitDir(const QString& sDir) { m_initDir = sDir; }
    // 1-based position of the filter shown first; 0 (or out of range) shows the first one. Reads
    // back what was written, whatever filter the person picks.
    std::int32_t FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(std::int32_t lIndex) { m_filterIndex = lIndex; }

    // Show the dialog, modal to the owner. Throw RuntimeError (InvalidCall), showing nothing,
    // when the initial file name is longer than kMaxFileName characters.
    void ShowOpen();
    void ShowSave();

    // "Gif|*.gif" as Qt's name filters: {"Gif (*.gif)"}. Patterns separated by ";" are
    // separated by blanks; a description without a pattern after it is dropped.
    static QStringList NameFilters(const QString& sFilter);

private:
    FileDialogRequest PrepareDialog() const;

    QString m_fileName;
    QWidget* m_owner = nullptr;
    QString m_title;
    QString m_filter;
    QString m_initDir;
    QString m_defaultExt;
    std::int32_t m_filterIndex = 0;
};

} // namespace skarvel
