#include "platform/QtModalServices.h"
#include "platform/Translations.h"
#include "viewer/frmSkarvel.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
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
    // "Open with Skarvel" hands over the file as the one argument.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        QTimer::singleShot(0, &window, [&window, path = args.at(1)] { window.OpenGivenFile(path); });
    return QApplication::exec();
}
