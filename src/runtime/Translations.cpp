#include "runtime/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

} // namespace skarvel
