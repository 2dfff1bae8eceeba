// Path shortening to a width in pixels.
#include "platform/PathEllipsis.h"

#include <QFont>

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

TEST(PathEllipsis, KeepsLeadingFoldersAndTheFileName)
{
    const QFontMetrics metrics{QFont()};
    const QString path = QStringLiteral("/uno/due/tre/quattro/cinque/file.gif");
    EXPECT_EQ(pathEllipsis(path, metrics, metrics.horizontalAdvance(path)), path);

    const int room = metrics.horizontalAdvance(QStringLiteral("/uno/due/.../file.gif"));
    EXPECT_EQ(pathEllipsis(path, metrics, room), QStringLiteral("/uno/due/.../file.gif"));
    EXPECT_EQ(pathEllipsis(path, metrics, room - 1), QStringLiteral("/uno/.../file.gif"));
    const int least = metrics.horizontalAdvance(QStringLiteral(".../file.gif"));
    EXPECT_EQ(pathEllipsis(path, metrics, least), QStringLiteral(".../file.gif"));

    // Folders written the other way round, and a name with no folder at all.
    const QString dos = QStringLiteral("C:\\Documenti\\Immagini\\Gif\\gatto.gif");
    const int dosRoom = metrics.horizontalAdvance(QStringLiteral("C:\\Documenti\\...\\gatto.gif"));
    EXPECT_EQ(pathEllipsis(dos, metrics, dosRoom), QStringLiteral("C:\\Documenti\\...\\gatto.gif"));
}

TEST(PathEllipsis, NeverWiderThanTheRoom)
{
    const QFontMetrics metrics{QFont()};
    const QString name = QStringLiteral("un nome di file davvero molto lungo.gif");
    for (int room : {0, 10, 40, 80}) {
        const QString shown = pathEllipsis(QStringLiteral("/a/b/") + name, metrics, room);
        EXPECT_LE(metrics.horizontalAdvance(shown), std::max(room, metrics.horizontalAdvance(QStringLiteral("..."))))
            << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("..."))) << shown.toStdString();
    }
    EXPECT_EQ(pathEllipsis(name, metrics, 10000), name);
}

} // namespace
} // namespace skarvel::test
