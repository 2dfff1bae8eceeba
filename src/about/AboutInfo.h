#pragma once

#include <QString>

namespace skarvel {

// The product data the about window shows and links to.
struct AboutInfo {
    QString website;
    QString authorEmail;
    QString collaboratorEmail;
    QString authorLine;
    QString termsLine;
    QString collaboratorLine;
};

// Reads the "key = value" file at `path`; keys that are missing stay empty, unknown keys are
// ignored. The program's own file is compiled in.
AboutInfo LoadAboutInfo(const QString& path = QStringLiteral(":/about/about.conf"));

} // namespace skarvel
