// Widget tests run without a display, on Qt's offscreen platform, inside one QApplication.
#include "runtime/Translations.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As on a desktop in the C locale: the program makes its own Italian all the same.
    qputenv("LC_ALL", "C");
    skarvel::UseItalianLocale();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
