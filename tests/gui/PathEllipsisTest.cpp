// Path shortening to a width in pixels.
#include "platform/PathEllipsis.h"

#include <QFont>

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

TEST(PathEllipsis, KeepsLeadingFoldersAndTheFileNameWithinTheRoom)
{
    const QFontMetrics metrics{QFont()};
    const auto width = [&](const char* s) { return metrics.horizontalAdvance(QString::fromUtf8(s)); };
    const QString path = QStringLiteral("/uno/due/tre/quattro/cinque/file.gif");
    EXPECT_EQ(pathEllipsis(path, metrics, metrics.horizontalAdvance(path)), path);
    const int room = width("/uno/due/.../file.gif");
    EXPECT_EQ(pathEllipsis(path, metrics, room), QStringLiteral("/uno/due/.../file.gif"));
    EXPECT_EQ(pathEllipsis(path, metrics, room - 1), QStringLiteral("/uno/.../file.gif"));
    EXPECT_EQ(pathEllipsis(path, metrics, width(".../file.gif")), QStringLiteral(".../file.gif"));
    // Folders written the other way round.
    EXPECT_EQ(pathEllipsis(QStringLiteral("C:\\Documenti\\Immagini\\Gif\\gatto.gif"), metrics,
                           width("C:\\Documenti\\...\\gatto.gif")),
              QStringLiteral("C:\\Documenti\\...\\gatto.gif"));

    // A name too long even alone is cut at its end, never wider than the room.
    const QString name = QStringLiteral("un nome di file davvero molto lungo.gif");
    for (int room : {0, 10, 40, 80}) {
        const QString shown = pathEllipsis(QStringLiteral("/a/b/") + name, metrics, room);
        EXPECT_LE(metrics.horizontalAdvance(shown), std::max(room, width("..."))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("..."))) << shown.toStdString();
    }
    EXPECT_EQ(pathEllipsis(name, metrics, 10000), name);
}

} // namespace
} // namespace skarvel::test
