// The window right after load, read back from its pixels and its controls: where the set-up put
// them, the classic colours whatever the desktop's theme, the button faces, and the names the
// tooltips give the keys.
#include "WindowFixture.h"
#include "support/MachineNeeds.h"

#include "about/frmAbout.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <array>
#include <map>

namespace skarvel::test {
namespace {

using WindowLook = MainWindowTest;

template <class C>
std::vector<double> box(const C& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
using B = std::vector<double>;

TEST_F(WindowLook, ControlsStandWhereTheSetUpPutThem)
{
    ASSERT_TRUE(hasLiberationSans()) << "the status bar's captions are measured in it";
    const frmSkarvel& w = *window;
    const std::vector<std::pair<B, B>> boxes{
        {box(*w.picMin), {210, 390, 1575, 4815}},      {box(*w.picUpDown[1]), {1560, 45, 225, 225}},
        {box(*w.picUpDown[0]), {210, 5340, 225, 225}}, {box(*w.imgTop), {195, 105, 1620, 285}},
        {box(*w.imgBotton), {210, 5205, 1605, 255}},   {box(*w.imgBordo[0]), {60, 0, 105, 4995}},
        {box(*w.imgBordo[1]), {1410, 0, 105, 4995}},   {box(*w.picAnimGif), {2520, 525, 2955, 2745}},
        {box(*w.picButton[0]), {2520, 3360, 900, 300}}, {box(*w.picButton[1]), {2820, 4710, 780, 300}},
        {box(*w.picButton[2]), {5145, 3360, 300, 300}}, {box(*w.picBarra[0]), {15, 45, 270, 240}},
        {box(*w.picBarra[1]), {4680, 45, 210, 240}},
        {{w.linBordoLeft->X1, w.linBordoLeft->X2, w.linBordoLeft->Y1, w.linBordoLeft->Y2}, {195, 195, 390, 5205}},
        {{w.linBordoR->X1, w.linBordoR->X2, w.linBordoR->Y1, w.linBordoR->Y2}, {1800, 1800, 390, 5205}}};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        EXPECT_EQ(boxes[i].first, boxes[i].second) << i;
    // The frame numbers stand 1225 twips apart, most of them between two pixels: each on the
    // nearest.
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(std::make_pair(box(*w.lblNFrame[k]), w.lblNFrame[k]->pixelRect()),
                  std::make_pair(B{30, 390 + 1225.0 * k, 210, 195}, QRect(2, std::array{26, 108, 189, 271}[k], 14, 13))) << k;
    EXPECT_TRUE(w.imgBordo[1]->Picture() == w.imgBordo[0]->Picture() && !w.imgBordo[0]->Picture().isNull() && !w.imgCursore->Visible());
    EXPECT_EQ(std::make_tuple(w.VScroll->geometry(), w.txtPercorso->width(), w.windowTitle(), w.minimumSize(), w.maximumSize(),
                              w.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)),
              std::make_tuple(QRect(0, 378, 11, 48), 291, QStringLiteral("Skarvel"), QSize(399, 393), QSize(399, 393), Qt::WindowFlags(Qt::WindowMinimizeButtonHint)));

    // The status bar with its two parts, holding the icon boxes.
    const StatusBarWindow* bar = window->sbMain->hWnd();
    EXPECT_EQ(std::make_tuple(bar->geometry(), bar->partCount(), bar->partRect(0).right(), w.picBarra[0]->parentWidget(), w.picBarra[1]->parentWidget(), w.picBarra[0]->isVisible()),
              std::make_tuple(QRect(0, 373, 399, 20), 2, 308, static_cast<const QWidget*>(bar), static_cast<const QWidget*>(bar), true));
    // A count keeps its word up to 99,999, set smaller where it would not fit: right of the
    // icon, every glyph drawn inside the part (the bar alone, without the icon, in black). A
    // short count keeps the bar's font; "Frames: 99999" does not fit in it.
    const int iconRight = w.picBarra[1]->geometry().right();
    for (const QString& text : {frmSkarvel::FrameCountText(250), frmSkarvel::FrameCountText(99999), frmSkarvel::SavedCountText(99999)}) {
        window->sbMain->SetText(1, text);
        const QFont font = bar->textFont(1);
        const QRect room = bar->textRect(1);
        QImage seen(bar->size(), QImage::Format_RGB32);
        const_cast<StatusBarWindow*>(bar)->render(&seen, {}, {}, QWidget::DrawWindowBackground);
        int first = seen.width(), last = -1;
        for (int x = bar->partRect(1).left(); x < seen.width(); ++x)
            for (int y = room.top(); y <= room.bottom(); ++y)
                if (qGray(seen.pixel(x, y)) < 96) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        const int drawn = QFontMetrics(font).horizontalAdvance(text.trimmed());
        EXPECT_TRUE(bar->partText(1) == text && first > iconRight && last <= room.right() && last - first + 3 >= drawn &&
                    (text == frmSkarvel::SavedCountText(99999) ||
                     (font.pointSizeF() < bar->font().pointSizeF()) != (text == frmSkarvel::FrameCountText(250))))
            << text.toStdString() << ": glyphs " << first << " to " << last << " of " << drawn << " in " << font.pointSizeF()
            << " pt, text room " << room.left() << " to " << room.right() << ", icon to " << iconRight;
    }

    // Every button shows the pointing hand, hot spot at its tip.
    for (const PictureBox* b : {w.picUpDown[0], w.picUpDown[1], w.picButton[0], w.picButton[1], w.picButton[2]})
        EXPECT_EQ(std::make_pair(b->cursor().shape(), b->cursor().hotSpot()), std::make_pair(Qt::BitmapCursor, QPoint(5, 0)));
}

TEST_F(WindowLook, DesignColoursWhateverTheDesktopTheme)
{
    // A light theme of the kind that showed a light bar and rings on the grey window.
    const QPalette before = QApplication::palette();
    QPalette theme(QColor(0x10, 0x20, 0x30), QColor(0xEF, 0xEF, 0xEF));
    theme.setColor(QPalette::Dark, Qt::red);
    theme.setColor(QPalette::Light, Qt::green);
    QApplication::setPalette(theme);
    MainWindowTest::SetUp();
    const QImage seen = shot();
    QApplication::setPalette(before);

    // Label2 across the top right, in the button face, is the window's own grey.
    QImage grey(253, 22, QImage::Format_RGB32);
    grey.fill(QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(seen.copy(140, 0, 253, 22), grey);
    // The decorations, each at an edge: the light panel, the display's border, the thin bar,
    // the grey block, the save group's outline and light edges, the strip's side lines, and the
    // status bar's face and sunken panel edges.
    const std::vector<std::tuple<int, int, QRgb>> probes{
        {161, 28, 0xE0E0E0}, {160, 30, 0xC0C0C0}, {161, 27, 0xC0C0C0}, {371, 250, 0xE0E0E0}, {372, 250, 0xC0C0C0},
        {300, 253, 0xC0C0C0}, {168, 100, 0x000000}, {364, 100, 0x000000}, {365, 100, 0xE0E0E0},
        {168, 266, 0x000000}, {170, 268, 0xE0E0E0}, {364, 273, 0x000000}, {170, 273, 0x000000},
        {170, 274, 0xC0C0C0}, {259, 255, 0x808080}, {280, 266, 0x808080}, {258, 255, 0xC0C0C0},
        {168, 320, 0xE0E0E0}, {300, 301, 0xE0E0E0}, {364, 320, 0x808080}, {250, 342, 0x808080}, {250, 343, 0xC0C0C0},
        {13, 100, 0xE0E0E0}, {13, 346, 0xE0E0E0}, {13, 347, 0xC0C0C0}, {168, 342, 0xE0E0E0}, {168, 343, 0xC0C0C0}, {120, 100, 0x808080}, {12, 100, 0xC0C0C0}, {121, 100, 0xC0C0C0},
        {100, 375, 0x808080}, {0, 380, 0x808080}, {100, 392, 0xFFFFFF}, {308, 380, 0xFFFFFF},
        {309, 380, 0xC0C0C0}, {310, 374, 0xC0C0C0}};
    for (const auto& [x, y, expected] : probes)
        EXPECT_EQ(seen.pixel(x, y) & 0xFFFFFFu, expected) << x << "," << y;
}

// Colours of a button's face right of `fromX`, counted.
std::map<QRgb, int> coloursOf(const PictureBox& box, int fromX)
{
    std::map<QRgb, int> counts;
    const QImage face = box.surface().image().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < face.height(); ++y)
        for (int x = fromX; x < face.width(); ++x)
            ++counts[face.pixel(x, y) & 0xFFFFFFu];
    return counts;
}

TEST_F(WindowLook, ButtonFacesOpenWithIconSaveEngravedUntilEnabled)
{
    // Open: right of its icon only the black caption on the light face; the icon adds colours.
    const auto open = coloursOf(*window->picButton[0], 20);
    EXPECT_TRUE(open.size() == 2 && open.count(0) && open.at(0) > 20 && coloursOf(*window->picButton[0], 0).size() > 3);
    // Save, disabled: right of the floppy, a grey caption over a light copy a pixel right of and
    // below it, on the grey face: every grey pixel has grey or light below right.
    PictureBox& save = *window->picButton[1];
    const QImage disabled = save.surface().image().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y + 1 < disabled.height(); ++y)
        for (int x = 18; x + 1 < disabled.width(); ++x)
            EXPECT_FALSE((disabled.pixel(x, y) & 0xFFFFFFu) == 0x808080 && (disabled.pixel(x + 1, y + 1) & 0xFFFFFFu) == 0xC0C0C0) << x << ", " << y;
    const auto engraved = coloursOf(save, 18);
    EXPECT_TRUE(engraved.size() == 3 && engraved.at(0x808080) > 10 && engraved.at(0xE0E0E0) > 5) << engraved.size();
    // Enabled: black, without the grey and light; disabled again as it was.
    window->EnableSaveButton(true);
    const auto black = coloursOf(save, 18);
    EXPECT_TRUE(save.isEnabled() && black.count(0) && !black.count(0x808080) && !black.count(0xE0E0E0));
    window->EnableSaveButton(false);
    EXPECT_TRUE(save.surface().image().convertToFormat(QImage::Format_RGB32) == disabled && !save.isEnabled());
}

TEST_F(WindowLook, TheAboutWindowsButtonHasAFlatClassicFaceAndSinksWhenPressed)
{
    frmAbout about(window.get());
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QPushButton& button = *about.Command1;
    // Near the right end, past the caption: the outer and inner rings at the top, the left,
    // the bottom and the right, and the face.
    const auto look = [&] {
        const QImage seen = button.grab().toImage();
        const int r = seen.width() - 1, b = seen.height() - 1, x = r - 4, y = b / 2;
        std::vector<QRgb> probes;
        for (QPoint p : {QPoint(x, 0), QPoint(x, 1), QPoint(0, y), QPoint(1, y), QPoint(x, b), QPoint(x, b - 1), QPoint(r, y), QPoint(r - 1, y), QPoint(x, y)})
            probes.push_back(seen.pixel(p) & 0xFFFFFFu);
        return probes;
    };
    // The edge painter's raised edge round a flat grey face, sunken while held.
    EXPECT_EQ(look(), (std::vector<QRgb>{0xDFDFDF, 0xFFFFFF, 0xDFDFDF, 0xFFFFFF, 0x000000, 0x808080, 0x000000, 0x808080, 0xC0C0C0}));
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(look(), (std::vector<QRgb>{0x808080, 0x000000, 0x808080, 0x000000, 0xFFFFFF, 0xDFDFDF, 0xFFFFFF, 0xDFDFDF, 0xC0C0C0}));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-5, -5));
}

TEST_F(WindowLook, TooltipsNameTheKeysAsAnItalianKeyboardLabelsThem)
{
    frmAbout about(window.get());
    QStringList tips;
    for (QWidget* top : {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(&about)})
        for (const QWidget* w : top->findChildren<QWidget*>())
            tips << w->toolTip();
    const QRegularExpression english(QStringLiteral("\\b(Home|End|PgUp|PgDn|Page|Down|Up|Escape|Enter|Del|Ins)\\b"));
    EXPECT_EQ(tips.filter(english), QStringList());
    EXPECT_TRUE(tips.contains(QStringLiteral("Frame precedente (Pag su o freccia su; Inizio: al primo)")) &&
                tips.contains(QStringLiteral("Frame successivo (Pag giù o freccia giù; Fine: all'ultimo)")));
}

} // namespace
} // namespace skarvel::test
