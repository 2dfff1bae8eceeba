// The window as designed: every control with its place, texts and colours before the set-up
// at load moves some of them. Windows made later lie above earlier ones, so they are made
// from the last of the description to the first.
#include "viewer/frmSkarvel.h"

#include "artwork/Artwork.h"
#include "runtime/LightControls.h"
#include "runtime/PictureBox.h"
#include "runtime/RuntimeFont.h"
#include "runtime/Twips.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace skarvel {

namespace {

constexpr OleColor kGrey = 0xC0C0C0u;
constexpr OleColor kLightGrey = 0xE0E0E0u;
constexpr OleColor kDarkGrey = 0x808080u;

QFont formFont() { return runtimeFont(QStringLiteral("MS Sans Serif"), 8.25); }
QFont stripFont() { return runtimeFont(QStringLiteral("Arial"), 8.25); }

PictureBox* pictureBox(QWidget* parent, double left, double top, double width, double height,
                       OleColor back = 0x8000000Fu)
{
    auto* box = new PictureBox(parent);
    box->Move(left, top, width, height);
    box->surface().Font = formFont();
    box->setBackColor(back);
    return box;
}

QRadioButton* optionButton(QWidget* parent, const QString& caption, const QString& tip,
                           double left, double top, double width, double height)
{
    auto* option = new QRadioButton(caption, parent);
    twips::Move(*option, left, top, width, height);
    option->setToolTip(tip);
    option->setFont(formFont());
    option->setAutoFillBackground(true);
    QPalette palette = option->palette();
    palette.setColor(QPalette::Window, TranslateColor(kGrey));
    palette.setColor(QPalette::Button, TranslateColor(kGrey));
    palette.setColor(QPalette::WindowText, Qt::black);
    option->setPalette(palette);
    fitCaption(*option);
    return option;
}

} // namespace

void frmSkarvel::createControls()
{
    setWindowTitle(QStringLiteral("Skarvel"));
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(artwork(QStringLiteral("skarvel16.xpm"))));
    icon.addPixmap(QPixmap::fromImage(artwork(QStringLiteral("skarvel32.xpm"))));
    setWindowIcon(icon);
    // A GIF dropped anywhere on the window opens it.
    setAcceptDrops(true);
    setFont(formFont());
    setBackColor(kGrey);
    setClientSize(5985, 5355);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);

    picAnimGif = new PictureBox(this, ScaleMode::Pixels);
    picAnimGif->Move(2520, 525, 2955, 2745);
    picAnimGif->setPlainBorder(true);

    createStripControls();

    picBarra[0] = pictureBox(this, 2100, 5985, 480, 480);
    picBarra[0]->setPicture(artwork(QStringLiteral("bar_file.xpm")));

    VScroll = new QScrollBar(Qt::Vertical, this);
    twips::Move(*VScroll, 0, 5670, 165, 720);
    VScroll->setRange(0, 32767);

    picUpDown[0] = pictureBox(this, 420, 6930, 225, 225);
    picUpDown[0]->setPicture(artwork(QStringLiteral("down.xpm")));
    picUpDown[0]->setToolTip(
        QStringLiteral("Frame successivo (Pag giù o freccia giù; Fine: all'ultimo)"));
    picUpDown[1] = pictureBox(this, 105, 6930, 225, 225);
    picUpDown[1]->setPicture(artwork(QStringLiteral("up.xpm")));
    picUpDown[1]->setToolTip(
        QStringLiteral("Frame precedente (Pag su o freccia su; Inizio: al primo)"));
    // No frames, nothing to step through: the open workflow shows them when there is.
    picUpDown[0]->hide();
    picUpDown[1]->hide();

    picBarra[1] = pictureBox(this, 2625, 6510, 480, 480);
    picBarra[1]->setPicture(artwork(QStringLiteral("bar_frames.xpm")));

    picButton[0] = pictureBox(this, 2520, 3360, 900, 300, kLightGrey);
    picButton[0]->setPicture(artwork(QStringLiteral("open.xpm")));
    picButton[0]->surface().setForeColor(0x80000008u);
    picButton[0]->setToolTip(QStringLiteral("Apre un nuovo file Gif (Ctrl+O)"));

    picButton[1] = pictureBox(this, 2820, 4710, 780, 300, kGrey);
    picButton[1]->setToolTip(QStringLiteral("Salva tutti i frames (Ctrl+S)"));

    optTipoFiles[0] = optionButton(this, QStringLiteral(".bmp"),
                                   QStringLiteral("Salava i frames come file Bmp"),
                                   3780, 4710, 645, 330);
    optTipoFiles[0]->setChecked(true);
    optTipoFiles[1] = optionButton(this, QStringLiteral(".gif"),
                                   QStringLiteral("Salava i frames come file GIF"),
                                   4680, 4710, 540, 330);

    picButton[2] = pictureBox(this, 5145, 3360, 300, 300, kLightGrey);
    picButton[2]->setPicture(artwork(QStringLiteral("about.xpm")));
    picButton[2]->setToolTip(QStringLiteral("Informazioni sul programma (F1)"));

    txtPercorso = new QLineEdit(QStringLiteral("Text1"), this);
    twips::Move(*txtPercorso, 3255, 5880, 1590, 285);

    // Only the options take the focus: the scroll bar and the path box lie outside the client
    // area, and Tab must not walk into them.
    VScroll->setFocusPolicy(Qt::NoFocus);
    txtPercorso->setFocusPolicy(Qt::NoFocus);

    createDecorations();
    connectCommandButtons();
    connectAnimation();
    connectStripButtons();
    createActions();
}

void frmSkarvel::createStripControls()
{
    picMin = pictureBox(this, 210, 390, 1695, 5235, kGrey);
    picMin->surface().Font = stripFont();

    LightControlLayer& strip = picMin->lightControls();
    const double labelPlaces[4][2] = {{525, 315}, {525, 525}, {630, 735}, {630, 1050}};
    for (int k = 3; k >= 0; --k) {
        LabelControl* label = strip.add<LabelControl>();
        label->Move(labelPlaces[k][0], labelPlaces[k][1], 210, 195);
        label->setCaption(QStringLiteral("33"));
        label->BackColor = kGrey;
        label->Alignment = Qt::AlignHCenter;
        label->Font = stripFont();
        lblNFrame[std::size_t(k)] = label;
    }
    imgBordo[1] = strip.add<ImageControl>();
    imgBordo[1]->Move(1260, 0, 105, 5145);
    imgBordo[0] = strip.add<ImageControl>();
    imgBordo[0]->Move(60, 0, 105, 4995);
    imgBordo[0]->setPicture(artwork(QStringLiteral("edge.xpm")));
}

void frmSkarvel::createDecorations()
{
    LightControlLayer& layer = lightControls();

    Label2 = layer.add<LabelControl>();
    Label2->Move(2100, 0, 3795, 330);

    imgCursore = layer.add<ImageControl>();
    imgCursore->Move(2205, 5565, 480, 480);
    imgCursore->setPicture(artwork(QStringLiteral("cursor.xpm")));
    imgCursore->setVisible(false);

    Label1 = layer.add<LabelControl>();
    Label1->Move(2670, 4410, 1065, 225);
    Label1->setCaption(QStringLiteral(" Salva Frames"));
    Label1->BackColor = kGrey;
    Label1->ForeColor = 0x000000u;
    Label1->Font = formFont();

    Line2 = layer.add<LineControl>();
    Line2->setEnds(5460, 4515, 2520, 4515);
    Line2->BorderColor = kLightGrey;
    Line1 = layer.add<LineControl>();
    Line1->setEnds(2520, 4515, 2520, 5145);
    Line1->BorderColor = kLightGrey;

    Shape4 = layer.add<ShapeControl>();
    Shape4->Move(2520, 4515, 2955, 630);
    Shape4->BorderColor = kDarkGrey;

    const char* floppies[2] = {"floppy_off.xpm", "floppy_on.xpm"};
    const double floppyPlaces[2][2] = {{3780, 6405}, {3150, 6300}};
    for (int k = 1; k >= 0; --k) {
        ImageControl* floppy = layer.add<ImageControl>();
        floppy->Move(floppyPlaces[k][0], floppyPlaces[k][1], 480, 480);
        floppy->setPicture(artwork(QString::fromLatin1(floppies[k])));
        floppy->setVisible(false);
        imgFloppy[std::size_t(k)] = floppy;
    }

    Shape2 = layer.add<ShapeControl>();
    Shape2->Move(2415, 420, 3165, 3375);
    Shape2->Bordered = false;
    Shape2->Filled = true;
    Shape2->FillColor = kLightGrey;
    Shape3 = layer.add<ShapeControl>();
    Shape3->Move(3885, 3780, 330, 225);
    Shape3->Bordered = false;
    Shape3->Filled = true;
    Shape3->FillColor = kDarkGrey;
    Shape1 = layer.add<ShapeControl>();
    Shape1->Move(2520, 3990, 2955, 120);
    Shape1->BorderColor = 0x000000u;
    Shape1->Filled = true;
    Shape1->FillColor = kLightGrey;

    imgTop = layer.add<ImageControl>();
    imgTop->Move(105, 6615, 1620, 285);
    imgTop->setPicture(artwork(QStringLiteral("strip_top.xpm")));
    linBordoR = layer.add<LineControl>();
    linBordoR->setEnds(1995, 5250, 1995, 7035);
    linBordoR->BorderColor = kDarkGrey;
    linBordoLeft = layer.add<LineControl>();
    linBordoLeft->setEnds(1890, 5355, 1890, 7140);
    linBordoLeft->BorderColor = kLightGrey;
    imgBotton = layer.add<ImageControl>();
    imgBotton->Move(210, 6300, 1605, 255);
    imgBotton->setPicture(artwork(QStringLiteral("strip_bottom.xpm")));
}

} // namespace skarvel
