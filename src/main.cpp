#include "platform/QtModalServices.h"
#include "viewer/frmSkarvel.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skarvel"));
    QApplication::setApplicationVersion(QStringLiteral(SKARVEL_VERSION));

    skarvel::QtModalServices dialogs;
    skarvel::ScopedModalServices useDialogs(dialogs);

    skarvel::frmSkarvel window;
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
