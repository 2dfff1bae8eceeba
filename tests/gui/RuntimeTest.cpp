// The window's runtime on its own: the status bar on a plain parent, the edge painter at its
// 16-bit limits, the drawing surface, path shortening, the fitting of captions, and the window
// program's arguments keeping every byte.
#include "base/RuntimeError.h"
#include "files/FilePath.h"
#include "picture/Picture.h"
#include "runtime/Control.h"
#include "runtime/DrawingSurface.h"
#include "runtime/PathEllipsis.h"
#include "runtime/PictureBox.h"
#include "runtime/RuntimeFont.h"
#include "runtime/WindowArguments.h"
#include "widgets/StatusBar.h"
#include "widgets/TriDim.h"

#include "support/MachineNeeds.h"

#include <gtest/gtest.h>

#include <cmath>

namespace skarvel::test {
namespace {

std::int32_t ole(OleColor c) { return std::int32_t(ToOleColor(TranslateColor(c))); }

// The error number a call throws, 0 when it throws none.
int errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return int(e.number());
    }
    return 0;
}

TEST(StatusBar, MadeOnceDividedTakesControlsAndGoesWithTheObject)
{
    QWidget parent;
    parent.resize(399, 393);
    QPointer<StatusBarWindow> made;
    {
        StatusBar bar;
        EXPECT_TRUE(bar.Create(parent) && !bar.Create(parent));
        made = bar.hWnd();
        EXPECT_EQ(made->geometry(), QRect(0, 373, 399, 20));

        const std::int16_t edges[] = {309, -1};
        const std::vector<std::int16_t> many(256, -1);
        EXPECT_EQ((std::vector{errorOf([&] { bar.SetParts(0, edges); }), errorOf([&] { bar.SetParts(256, many); }),
                               errorOf([&] { bar.SetParts(3, edges); }), errorOf([&] { bar.SetParts(255, many); })}),
                  (std::vector{int(RuntimeError::SubscriptOutOfRange), int(RuntimeError::Overflow),
                               int(RuntimeError::SubscriptOutOfRange), 0}));
        bar.SetParts(2, edges);
        EXPECT_EQ(std::make_tuple(made->partRect(0), made->partRect(1), made->textRoom(1)),
                  std::make_tuple(QRect(QPoint(0, 2), QPoint(308, 19)), QRect(QPoint(311, 2), QPoint(398, 19)), 83));
        // A control goes into a part one pixel in from each side, shown.
        auto* icon = new PictureBox(&parent);
        icon->hide();
        bar.CopyObj(1, *icon);
        EXPECT_EQ(std::make_tuple(icon->parentWidget(), icon->isHidden(), icon->geometry(), icon->Left()),
                  std::make_tuple(static_cast<QWidget*>(made.data()), false, QRect(312, 3, 86, 16), 4680.0));
        parent.resize(500, 300);
        bar.Resize(parent);
        EXPECT_EQ(made->geometry(), QRect(0, 280, 500, 20));
    }
    EXPECT_FALSE(made);
}

// A control at a given place in twips on a surface of its own.
struct FakeControl : Control {
    double left, top, width, height;
    DrawingSurface* container;
    FakeControl(DrawingSurface& s, double l, double t, double w, double h) : left(l), top(t), width(w), height(h), container(&s) {}
    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    DrawingSurface& ContainerSurface() const override { return *container; }
};

constexpr OleColor kBack = 0x336699u;

TEST(TriDim, ARingReachingTheSixteenBitLimitIsDrawnOnePastItIsRefused)
{
    // The ring's look around real buttons is read from the window's pixels elsewhere.
    constexpr OleColor dark = 0x80000010u;
    TriDim painter;
    // y2 = 32768, one past the limit: refused before anything is drawn.
    DrawingSurface tall;
    tall.resize(QSize(60, 2200));
    FakeControl past(tall, 300, 32468, 300, 300);
    EXPECT_EQ(std::make_pair(errorOf([&] { painter.Sunken(past); }), tall.Point(285, 32453)), std::make_pair(int(RuntimeError::Overflow), ole(tall.BackColor())));
    FakeControl far(tall, 32760, 300, 300, 300), before(tall, -32760, 300, 300, 300);
    EXPECT_EQ(errorOf([&] { painter.Rise(far); }) + errorOf([&] { painter.Sunken(before); }), 2 * RuntimeError::Overflow);
    // Right at the edges: a right side of 32767 and a left side of -32768 are drawn, one more is not.
    FakeControl right(tall, 32000, 300, 767, 300), rightPast(tall, 32000, 300, 768, 300);
    FakeControl left(tall, -32753, 300, 300, 300), leftPast(tall, -32754, 300, 300, 300);
    EXPECT_EQ((std::vector{errorOf([&] { painter.Flat(right, dark); }), errorOf([&] { painter.Flat(rightPast, dark); }),
                           errorOf([&] { painter.Flat(left, dark); }), errorOf([&] { painter.Flat(leftPast, dark); })}),
              (std::vector{0, int(RuntimeError::Overflow), 0, int(RuntimeError::Overflow)}));
}

TEST(DrawingSurface, PicturesStretchKeepTransparencyAndAverageAShrink)
{
    // A 2 x 2 picture: index 0 transparent, 1 red, 2 green, 3 blue.
    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    for (int i = 0; i < 4; ++i)
        indexed.setPixel(i % 2, i / 2, uint(i));
    DrawingSurface box(ScaleMode::Pixels);
    box.resize(QSize(12, 12));
    box.setBackColor(kBack);
    box.PaintPicture(Picture(indexed), 2, 2, 8.0, 8.0);
    // A source part only.
    box.PaintPicture(Picture(indexed), 10, 0, 2.0, 2.0, 1, 1, 1.0, 1.0);
    const auto at = [&](std::initializer_list<QPoint> ps) { std::vector<std::int32_t> v; for (QPoint p : ps) v.push_back(box.Point(p.x(), p.y())); return v; };
    // Colours as the runtime gives them: 0x00BBGGRR.
    const auto back = ole(kBack), red = ole(0x0000FFu), green = ole(0x00FF00u), blue = ole(0xFF0000u);
    EXPECT_EQ(at({{2, 2}, {5, 5}, {6, 2}, {9, 5}, {2, 9}, {9, 9}, {10, 10}, {10, 0}, {11, 1}, {12, 0}, {-1, 0}}),
              (std::vector{back, back, red, red, green, blue, back, blue, blue, -1, -1}));

    // One-pixel black and white columns, halved: every column lands as grey, none drops out.
    QImage stripes(8, 4, QImage::Format_Indexed8);
    stripes.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            stripes.setPixel(x, y, uint(x % 2));
    box.PaintPicture(Picture(stripes), 0, 0, 4.0, 2.0);
    for (int x = 0; x < 4; ++x)
        EXPECT_NEAR(box.image().pixelColor(x, 1).red(), 128, 8) << x;
    // Halved across but stretched down: the shrinking side alone is enough to average.
    box.PaintPicture(Picture(stripes), 4, 0, 4.0, 8.0);
    for (int x = 4; x < 8; ++x)
        EXPECT_NEAR(box.image().pixelColor(x, 6).red(), 128, 8) << x;

    // A new background or picture wipes the drawing but keeps the print position; Cls does not.
    box.CurrentX = 3;
    box.CurrentY = 5;
    box.setBackColor(0x00FFFFFFu);
    box.setPicture(stripes);
    EXPECT_EQ(std::tuple(box.CurrentX, box.CurrentY, box.Point(0, 0), box.Point(1, 0), box.Point(9, 9)), std::tuple(3.0, 5.0, 0, 0xFFFFFF, 0xFFFFFF));
    box.Cls();
    EXPECT_EQ(std::tuple(box.CurrentX, box.CurrentY, box.Point(1, 0)), std::tuple(0.0, 0.0, 0xFFFFFF));
}

TEST(PathEllipsis, KeepsLeadingFoldersAndTheFileNameWithinTheRoom)
{
    const QFontMetrics metrics{QFont()};
    const QString path = QStringLiteral("/uno/due/tre/quattro/cinque/file.gif");
    const int room = metrics.horizontalAdvance(QStringLiteral("/uno/due/.../file.gif"));
    const QString windows = QStringLiteral("C:\\Documenti\\Immagini\\Gif\\gatto.gif"), shorter = QStringLiteral("C:\\Documenti\\...\\gatto.gif");
    // The root alone, and a relative path, keep their first folder the same way.
    const QString root = QStringLiteral("/.../file.gif"), relative = QStringLiteral("uno/.../file.gif");
    EXPECT_EQ((QStringList{pathEllipsis(path, metrics, metrics.horizontalAdvance(path)), pathEllipsis(path, metrics, room),
                           pathEllipsis(path, metrics, room - 1), pathEllipsis(windows, metrics, metrics.horizontalAdvance(shorter)),
                           pathEllipsis(path, metrics, metrics.horizontalAdvance(root)),
                           pathEllipsis(path.mid(1), metrics, metrics.horizontalAdvance(relative))}),
              (QStringList{path, QStringLiteral("/uno/due/.../file.gif"), QStringLiteral("/uno/.../file.gif"), shorter, root, relative}));
    // A name too long even alone is cut at its end, never wider than the room.
    const QString shown = pathEllipsis(QStringLiteral("/a/b/un nome di file davvero molto lungo.gif"), metrics, 40);
    EXPECT_TRUE(metrics.horizontalAdvance(shown) <= 40 && shown.endsWith(QStringLiteral("..."))) << shown.toStdString();
}

TEST(RuntimeFont, ArialIsALookAlikeAndACaptionShrinksUntilItFitsInWholePixels)
{
    ASSERT_TRUE(hasLiberationSans());
    const QString text = QStringLiteral("Salva Frames");
    const QFont start = runtimeFont(QStringLiteral("Arial"), 12);
    const auto width = [&](const QFont& f) { return QFontMetricsF(f).boundingRect(QRectF(0, 0, 500, 50), Qt::TextSingleLine, text).width(); };
    // A box one pixel narrower than the caption's width rounded up.
    const QRect box(0, 0, int(std::ceil(width(start))) - 1, 50);
    const QFont fitted = fittingFont(start, text, box, Qt::TextSingleLine);
    EXPECT_TRUE(start.family() == QStringLiteral("Liberation Sans") && fitted.pointSizeF() < 12 && width(fitted) <= box.width()) << fitted.pointSizeF();
}

TEST(WindowArguments, EverythingAfterDashDashIsAFileHiddenFromQt)
{
    char program[] = "skarvel", reverse[] = "-reverse", dashes[] = "--", odd[] = "b\xff.gif";
    char* argv[] = {program, reverse, dashes, reverse, dashes, odd, nullptr};
    WindowArguments arguments(6, argv);
    EXPECT_EQ(arguments.qtArgc, 2);
    EXPECT_EQ(arguments.files(), QStringList({QStringLiteral("-reverse"), QStringLiteral("-reverse"), QStringLiteral("--"), DecodeFilePath(odd)}));
    arguments.qtArgc = 1; // Qt took "-reverse" as its own
    EXPECT_EQ(arguments.files(), QStringList({QStringLiteral("-reverse"), QStringLiteral("--"), DecodeFilePath(odd)}));
    EXPECT_EQ(WindowArguments(2, argv).files(), QStringList{QStringLiteral("-reverse")});
}

} // namespace
} // namespace skarvel::test
