#pragma once

#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>

#include <gtest/gtest.h>

// What some window tests need from the machine rather than from what they build. The scripts
// install both; elsewhere a missing one fails the test with the package to install, instead of
// a comparison of captions or button texts that says nothing of why.
namespace skarvel::test {

inline ::testing::AssertionResult hasLiberationSans()
{
    if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "Liberation Sans, which the captions are fitted to, is missing: install fonts-liberation";
}

inline ::testing::AssertionResult hasItalianQtTexts()
{
    const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm");
    if (QFile::exists(file))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "Qt's Italian texts (" << file.toStdString()
                                         << ") are missing: install qt6-translations-l10n";
}

} // namespace skarvel::test
