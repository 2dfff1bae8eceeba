// The window right after load: where the set-up put the controls, the button faces, the
// status bar and its icon boxes; and the end of the window.
#include "WindowFixture.h"

#include "platform/LightControls.h"
#include "platform/PictureBox.h"
#include "platform/StatusBarWindow.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <set>

namespace skarvel::test {
namespace {

struct Box {
    double left, top, width, height;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << b.left << ", " << b.top << ", " << b.width << " x " << b.height;
}

template <class C>
Box boxOf(const C& c)
{
    return {c.Left(), c.Top(), c.Width(), c.Height()};
}

using MainWindowSetup = MainWindowTest;

TEST_F(MainWindowSetup, StripAndDecorationsStandWhereTheSetUpPutThem)
{
    const frmSkarvel& w = *window;
    EXPECT_EQ(boxOf(*w.picMin), (Box{210, 390, 1575, 4815}));
    EXPECT_EQ(boxOf(*w.picUpDown[1]), (Box{1560, 45, 225, 225}));
    EXPECT_EQ(boxOf(*w.picUpDown[0]), (Box{210, 5340, 225, 225}));
    EXPECT_EQ(boxOf(*w.imgTop), (Box{195, 105, 1620, 285}));
    EXPECT_EQ(boxOf(*w.imgBotton), (Box{210, 5205, 1605, 255}));
    EXPECT_EQ(boxOf(*w.imgBordo[0]), (Box{60, 0, 105, 4995}));
    EXPECT_EQ(boxOf(*w.imgBordo[1]), (Box{1410, 0, 105, 4995}));
    EXPECT_EQ(w.imgBordo[1]->Picture(), w.imgBordo[0]->Picture());
    EXPECT_FALSE(w.imgBordo[0]->Picture().isNull());

    EXPECT_EQ(w.linBordoLeft->X1, 195);
    EXPECT_EQ(w.linBordoLeft->X2, 195);
    EXPECT_EQ(w.linBordoR->X1, 1800);
    EXPECT_EQ(w.linBordoR->X2, 1800);
    for (const LineControl* line : {w.linBordoLeft, w.linBordoR}) {
        EXPECT_EQ(line->Y1, 390);
        EXPECT_EQ(line->Y2, 5205);
    }

    const double tops[4] = {390, 1615, 2840, 4065};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(boxOf(*w.lblNFrame[k]), (Box{30, tops[k], 210, 195})) << k;
        EXPECT_EQ(w.lblNFrame[k]->Caption(), QString()) << k;
    }
    // Never moved.
    EXPECT_EQ(boxOf(*w.picAnimGif), (Box{2520, 525, 2955, 2745}));
    EXPECT_EQ(boxOf(*w.picButton[0]), (Box{2520, 3360, 900, 300}));
    EXPECT_EQ(boxOf(*w.picButton[1]), (Box{2820, 4710, 780, 300}));
    EXPECT_EQ(boxOf(*w.picButton[2]), (Box{5145, 3360, 300, 300}));
    EXPECT_EQ(w.VScroll->geometry(), QRect(0, 378, 11, 48));
    EXPECT_EQ(w.VScroll->value(), 0);
}

TEST_F(MainWindowSetup, WindowStatusBarAndIconBoxes)
{
    const frmSkarvel& w = *window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Skarvel"));
    EXPECT_EQ(w.size(), QSize(399, 393));
    EXPECT_EQ(w.Height(), 6270);
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w.iTwipsX, 15);
    EXPECT_EQ(w.iTwipsY, 15);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer1->interval(), 100);
    EXPECT_TRUE(w.optTipoFiles[0]->isChecked());
    EXPECT_FALSE(w.optTipoFiles[1]->isChecked());
    EXPECT_EQ(w.optTipoFiles[0]->toolTip(), QStringLiteral("Salava i frames come file Bmp"));
    EXPECT_EQ(w.optTipoFiles[1]->toolTip(), QStringLiteral("Salava i frames come file GIF"));
    EXPECT_EQ(w.Label1->Caption(), QStringLiteral(" Salva Frames"));

    StatusBarWindow* bar = const_cast<frmSkarvel&>(w).sbMain->hWnd();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(0, 373, 399, 20));
    // The strip's lower button stays clear of the bar.
    EXPECT_LE(w.picUpDown[0]->geometry().bottom(), bar->geometry().top() - 1);
    EXPECT_EQ(bar->partCount(), 2);
    EXPECT_EQ(bar->partRect(0).right(), 308);
    ASSERT_TRUE(w.picBarra[0] && w.picBarra[1]);
    EXPECT_EQ(w.picBarra[0]->parentWidget(), bar);
    EXPECT_EQ(w.picBarra[1]->parentWidget(), bar);
    EXPECT_EQ(boxOf(*w.picBarra[0]), (Box{15, 45, 270, 240}));
    EXPECT_EQ(boxOf(*w.picBarra[1]), (Box{4680, 45, 210, 240}));
    EXPECT_TRUE(w.picBarra[0]->isVisible());
    EXPECT_EQ(w.txtPercorso->width() * 15, 4365);
    EXPECT_EQ(const_cast<frmSkarvel&>(w).sbMain->GetText(0), QString());
    EXPECT_EQ(const_cast<frmSkarvel&>(w).sbMain->GetText(1), QString());

    // Every button and the strip's two boxes show the pointing hand, hot spot at its tip.
    for (const PictureBox* box : {w.picUpDown[0], w.picUpDown[1], w.picButton[0], w.picButton[1],
                                  w.picButton[2]}) {
        EXPECT_EQ(box->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(box->cursor().hotSpot(), QPoint(5, 0));
    }
    EXPECT_FALSE(w.imgCursore->Visible());
}

// Colours of a picture box's face, counted.
std::map<QRgb, int> coloursOf(const PictureBox& box, int fromX)
{
    std::map<QRgb, int> counts;
    const QImage& face = box.surface().image();
    for (int y = 0; y < face.height(); ++y)
        for (int x = fromX; x < face.width(); ++x)
            ++counts[face.pixel(x, y) & 0xFFFFFFu];
    return counts;
}

TEST_F(MainWindowSetup, SaveButtonDisabledWithItsEngravedCaption)
{
    PictureBox& save = *window->picButton[1];
    EXPECT_FALSE(save.isEnabled());
    const QImage disabled = save.surface().image().copy();

    // Right of the floppy only the caption is drawn: grey pixels, each with a light or grey
    // pixel one to the right and one below (the light copy, partly under the grey one).
    const QRgb grey = 0x808080, light = 0xE0E0E0, face = 0xC0C0C0;
    int greys = 0, lights = 0;
    for (int y = 0; y + 1 < disabled.height(); ++y) {
        for (int x = 18; x + 1 < disabled.width(); ++x) {
            const QRgb p = disabled.pixel(x, y) & 0xFFFFFFu;
            ASSERT_TRUE(p == grey || p == light || p == face) << x << ", " << y;
            if (p == grey) {
                ++greys;
                const QRgb below = disabled.pixel(x + 1, y + 1) & 0xFFFFFFu;
                EXPECT_TRUE(below == grey || below == light) << x << ", " << y;
            }
            lights += p == light;
        }
    }
    EXPECT_GT(greys, 10);
    EXPECT_GT(lights, 5);

    window->EnableSaveButton(true);
    EXPECT_TRUE(save.isEnabled());
    const QImage enabled = save.surface().image().copy();
    const auto counts = coloursOf(save, 18);
    EXPECT_EQ(counts.count(light), 0u);
    EXPECT_EQ(counts.count(grey), 0u);
    EXPECT_GT(counts.at(0x000000u), 10);
    // Once or twice: the same face.
    window->EnableSaveButton(true);
    EXPECT_EQ(save.surface().image(), enabled);
    window->EnableSaveButton(false);
    EXPECT_EQ(save.surface().image(), disabled);
    EXPECT_FALSE(save.isEnabled());
}

TEST_F(MainWindowSetup, OpenButtonShowsItsIconAndCaption)
{
    const PictureBox& open = *window->picButton[0];
    const auto counts = coloursOf(open, 20);
    const QRgb text = TranslateColor(0x80000008u).rgb() & 0xFFFFFFu;
    ASSERT_NE(text, 0xE0E0E0u);
    EXPECT_GT(counts.count(text) ? counts.at(text) : 0, 20);
    EXPECT_EQ(counts.size(), 2u); // caption and face, nothing else right of the icon
    // The icon, left of the caption, is not the bare face.
    EXPECT_GT(coloursOf(open, 0).size(), 3u);
}

TEST_F(MainWindowSetup, CompactPathShortensLongPathsOnly)
{
    const QRect pathBox = window->txtPercorso->geometry();
    const QFont font = window->font();
    const QString shortPath = QStringLiteral("/tmp/a.gif");
    EXPECT_EQ(window->CompactPath(shortPath), shortPath);

    const QString longPath = QStringLiteral(
        "/home/utente/Documenti/Immagini/Animazioni/archivio 2003/collezione di prova/"
        "sottocartella con un nome lungo/gatto che salta.gif");
    const QString compact = window->CompactPath(longPath);
    EXPECT_NE(compact, longPath);
    EXPECT_TRUE(compact.endsWith(QStringLiteral("/.../gatto che salta.gif")))
        << compact.toStdString();
    EXPECT_TRUE(compact.startsWith(QStringLiteral("/home/"))) << compact.toStdString();
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(compact), 268);
    // Nothing of the window changed.
    EXPECT_EQ(window->txtPercorso->geometry(), pathBox);
    EXPECT_EQ(window->font(), font);
    EXPECT_EQ(window->surface().scaleMode(), ScaleMode::Twips);
}

TEST_F(MainWindowSetup, ClosingUnloadsAndEndsOnce)
{
    QPointer<StatusBarWindow> bar = window->sbMain->hWnd();
    move(window->picButton[0]->geometry().center());
    ASSERT_EQ(QWidget::mouseGrabber(), window->picButton[0]);
    window->Frames.frames.resize(3);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window->Frames.empty());
    EXPECT_FALSE(bar);
    EXPECT_FALSE(window->picBarra[0]);
    EXPECT_FALSE(window->sbMain.exists());
    EXPECT_FALSE(window->objTriDim.exists());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    window.reset();
    EXPECT_EQ(ends, 1);
}

} // namespace
} // namespace skarvel::test
