// The window right after load, written into the build tree for anyone to look at.
#include "WindowFixture.h"

#include <QCoreApplication>
#include <QDir>

namespace skarvel::test {
namespace {

TEST_F(MainWindowTest, ScreenshotAfterLoad)
{
    const QImage shot = window->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(399, 393));
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("skarvel-after-load.png"));
    ASSERT_TRUE(shot.save(path)) << path.toStdString();
    std::cout << "Screenshot: " << path.toStdString() << "\n";
}

} // namespace
} // namespace skarvel::test
