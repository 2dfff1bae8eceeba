#include "files/SignalCleanup.h"
#include "runtime/FreedMemory.h"
#include "runtime/QtModalServices.h"
#include "runtime/Translations.h"
#include "runtime/WindowArguments.h"
#include "viewer/frmSkarvel.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

constexpr char kUsage[] =
    "Uso: skarvel [OPZIONI DI QT] [--] [FILE]\n"
    "Apre la GIF animata FILE nella finestra di Skarvel, o la finestra vuota senza FILE.\n"
    "Qt prende per sé le opzioni che conosce (-reverse, -style...): dopo \"--\" nessun\n"
    "argomento è un'opzione, e \"skarvel -- -reverse\" apre il file \"-reverse\".\n"
    "  --help      mostra questo aiuto\n"
    "  --version   mostra la versione\n";

} // namespace

int main(int argc, char* argv[])
{
    // Before any thread starts: Qt's own start some.
    skarvel::ShareFewArenas();
    skarvel::IgnoreFileSizeSignal();
    skarvel::WindowArguments arguments(argc, argv);
    switch (arguments.request()) {
    case skarvel::WindowArguments::Request::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case skarvel::WindowArguments::Request::Version:
        std::puts("skarvel " SKARVEL_VERSION);
        return 0;
    case skarvel::WindowArguments::Request::Window:
        break;
    }
    skarvel::UseItalianLocale();
    QApplication app(arguments.qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Skarvel"));
    QApplication::setApplicationVersion(QStringLiteral(SKARVEL_VERSION));
    // Ties the window to skarvel.desktop, for its name and icon in docks and task lists.
    QGuiApplication::setDesktopFileName(QStringLiteral("skarvel"));
    skarvel::InstallItalianTranslations();

    skarvel::QtModalServices dialogs;
    skarvel::ScopedModalServices useDialogs(dialogs);

    skarvel::frmSkarvel window;
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    // "Open with Skarvel" hands over the file as the one argument, after "--".
    const QStringList files = arguments.files();
    if (!files.isEmpty())
        QTimer::singleShot(0, &window, [&window, path = files.first()] { window.OpenGivenFile(path); });
    return QApplication::exec();
}
