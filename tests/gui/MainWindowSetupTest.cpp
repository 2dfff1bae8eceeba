// The window right after load: where the set-up put the controls, the button faces, the
// status bar and its icon boxes, the path shortening; and the end of the window.
#include "WindowFixture.h"

#include "platform/LightControls.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

#include <map>

namespace skarvel::test {
namespace {

using MainWindowSetup = MainWindowTest;

template <class C>
std::vector<double> box(const C& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
using B = std::vector<double>;

TEST_F(MainWindowSetup, ControlsStandWhereTheSetUpPutThem)
{
    const frmSkarvel& w = *window;
    EXPECT_EQ(box(*w.picMin), (B{210, 390, 1575, 4815}));
    EXPECT_EQ(box(*w.picUpDown[1]), (B{1560, 45, 225, 225}));
    EXPECT_EQ(box(*w.picUpDown[0]), (B{210, 5340, 225, 225}));
    EXPECT_EQ(box(*w.imgTop), (B{195, 105, 1620, 285}));
    EXPECT_EQ(box(*w.imgBotton), (B{210, 5205, 1605, 255}));
    EXPECT_EQ(box(*w.imgBordo[0]), (B{60, 0, 105, 4995}));
    EXPECT_EQ(box(*w.imgBordo[1]), (B{1410, 0, 105, 4995}));
    EXPECT_FALSE(w.imgBordo[0]->Picture().isNull());
    EXPECT_EQ(w.imgBordo[1]->Picture(), w.imgBordo[0]->Picture());
    EXPECT_EQ((B{w.linBordoLeft->X1, w.linBordoLeft->X2, w.linBordoLeft->Y1, w.linBordoLeft->Y2}),
              (B{195, 195, 390, 5205}));
    EXPECT_EQ((B{w.linBordoR->X1, w.linBordoR->X2, w.linBordoR->Y1, w.linBordoR->Y2}),
              (B{1800, 1800, 390, 5205}));
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(box(*w.lblNFrame[k]), (B{30, 390 + 1225.0 * k, 210, 195})) << k;
    EXPECT_EQ(box(*w.picAnimGif), (B{2520, 525, 2955, 2745}));
    EXPECT_EQ(box(*w.picButton[0]), (B{2520, 3360, 900, 300}));
    EXPECT_EQ(box(*w.picButton[1]), (B{2820, 4710, 780, 300}));
    EXPECT_EQ(box(*w.picButton[2]), (B{5145, 3360, 300, 300}));
    EXPECT_EQ(w.VScroll->geometry(), QRect(0, 378, 11, 48));

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Skarvel"));
    EXPECT_EQ(w.size(), QSize(399, 393));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(w.optTipoFiles[0]->isChecked());
    EXPECT_FALSE(w.optTipoFiles[1]->isChecked());
    EXPECT_EQ(w.Label1->Caption(), QStringLiteral(" Salva Frames"));

    // The status bar with its two parts, holding the icon boxes; the strip clear of it.
    const StatusBarWindow* bar = const_cast<frmSkarvel&>(w).sbMain->hWnd();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(0, 373, 399, 20));
    EXPECT_LT(w.picUpDown[0]->geometry().bottom(), bar->geometry().top());
    EXPECT_EQ(bar->partCount(), 2);
    EXPECT_EQ(bar->partRect(0).right(), 308);
    ASSERT_TRUE(w.picBarra[0] && w.picBarra[1]);
    EXPECT_EQ(w.picBarra[0]->parentWidget(), bar);
    EXPECT_EQ(w.picBarra[1]->parentWidget(), bar);
    EXPECT_EQ(box(*w.picBarra[0]), (B{15, 45, 270, 240}));
    EXPECT_EQ(box(*w.picBarra[1]), (B{4680, 45, 210, 240}));
    EXPECT_TRUE(w.picBarra[0]->isVisible());
    EXPECT_EQ(w.txtPercorso->width(), 291);

    // Every button and the strip's two boxes show the pointing hand, hot spot at its tip.
    for (const PictureBox* b : {w.picUpDown[0], w.picUpDown[1], w.picButton[0], w.picButton[1], w.picButton[2]})
        EXPECT_EQ(std::make_pair(b->cursor().shape(), b->cursor().hotSpot()),
                  std::make_pair(Qt::BitmapCursor, QPoint(5, 0)));
    EXPECT_FALSE(w.imgCursore->Visible());

    // The window as it looks, written into the build tree for anyone to look at.
    const QImage shot = window->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(399, 393));
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("skarvel-after-load.png"));
    ASSERT_TRUE(shot.save(path)) << path.toStdString();
    std::cout << "Screenshot: " << path.toStdString() << "\n";
}

// Colours of a picture box's face right of `fromX`, counted.
std::map<QRgb, int> coloursOf(const PictureBox& box, int fromX)
{
    std::map<QRgb, int> counts;
    const QImage& face = box.surface().image();
    for (int y = 0; y < face.height(); ++y)
        for (int x = fromX; x < face.width(); ++x)
            ++counts[face.pixel(x, y) & 0xFFFFFFu];
    return counts;
}

TEST_F(MainWindowSetup, ButtonFacesOpenWithIconSaveEngravedUntilEnabled)
{
    // Open: right of its icon only the caption and the face; the icon adds colours.
    const PictureBox& open = *window->picButton[0];
    const QRgb text = colour(0x80000008u) & 0xFFFFFFu;
    const auto openCounts = coloursOf(open, 20);
    EXPECT_EQ(openCounts.size(), 2u);
    EXPECT_GT(openCounts.count(text) ? openCounts.at(text) : 0, 20);
    EXPECT_GT(coloursOf(open, 0).size(), 3u);

    // Save, disabled: right of the floppy, grey pixels each with grey or light one to the
    // right and one below (the light copy, partly under the grey one).
    PictureBox& save = *window->picButton[1];
    EXPECT_FALSE(save.isEnabled());
    const QImage disabled = save.surface().image().copy();
    const QRgb grey = 0x808080, light = 0xE0E0E0, face = 0xC0C0C0;
    int greys = 0, lights = 0;
    for (int y = 0; y + 1 < disabled.height(); ++y)
        for (int x = 18; x + 1 < disabled.width(); ++x) {
            const QRgb p = disabled.pixel(x, y) & 0xFFFFFFu, below = disabled.pixel(x + 1, y + 1) & 0xFFFFFFu;
            ASSERT_TRUE(p == grey || p == light || p == face) << x << ", " << y;
            EXPECT_TRUE(p != grey || below == grey || below == light) << x << ", " << y;
            greys += p == grey;
            lights += p == light;
        }
    EXPECT_GT(greys, 10);
    EXPECT_GT(lights, 5);

    window->EnableSaveButton(true);
    EXPECT_TRUE(save.isEnabled());
    const QImage enabled = save.surface().image().copy();
    const auto counts = coloursOf(save, 18);
    EXPECT_EQ(counts.count(light) + counts.count(grey), 0u);
    EXPECT_GT(counts.at(0x000000u), 10);
    window->EnableSaveButton(true);
    EXPECT_EQ(save.surface().image(), enabled);
    window->EnableSaveButton(false);
    EXPECT_EQ(save.surface().image(), disabled);
    EXPECT_FALSE(save.isEnabled());
}

TEST_F(MainWindowSetup, CompactPathShortensLongPathsOnly)
{
    const QString shortPath = QStringLiteral("/tmp/a.gif");
    EXPECT_EQ(window->CompactPath(shortPath), shortPath);
    const QString compact = window->CompactPath(QStringLiteral(
        "/home/utente/Documenti/Immagini/Animazioni/archivio 2003/collezione di prova/"
        "sottocartella con un nome lungo/gatto che salta.gif"));
    EXPECT_TRUE(compact.startsWith(QStringLiteral("/home/"))) << compact.toStdString();
    EXPECT_TRUE(compact.endsWith(QStringLiteral("/.../gatto che salta.gif"))) << compact.toStdString();
    EXPECT_LE(QFontMetrics(window->font()).horizontalAdvance(compact), 268);
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
