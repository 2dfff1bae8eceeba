#include "runtime/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>

namespace skarvel {

void InstallItalianTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    if (translator->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void UseItalianLocale()
{
    // Qt's dialogs write dates and sizes in the desktop's locale (QLocale::system()), which Qt
    // reads from the environment once, the first time it is asked for it. Asked for here with
    // the environment saying Italian, it stays Italian, and so does every QLocale() made after,
    // which takes the desktop's. The environment then goes back as it was: the application
    // object sets the C library's locale from it, and programs started from here (a browser, a
    // mail program) keep the desktop's.
    const bool had = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray desktop = qgetenv("LC_ALL");
    qputenv("LC_ALL", "it_IT.UTF-8");
    (void)QLocale::system().name();
    if (had)
        qputenv("LC_ALL", desktop);
    else
        qunsetenv("LC_ALL");
}

} // namespace skarvel
