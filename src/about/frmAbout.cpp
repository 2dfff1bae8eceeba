#include "about/frmAbout.h"

#include "artwork/Artwork.h"
#include "base/ModalServices.h"
#include "runtime/ClassicButton.h"
#include "runtime/ClickLabel.h"
#include "runtime/LightControls.h"
#include "runtime/RuntimeFont.h"
#include "runtime/Twips.h"

#include <QAction>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace skarvel {

namespace {

constexpr OleColor kGrey = 0xC0C0C0u;
constexpr OleColor kDarkGrey = 0x808080u;
constexpr OleColor kLightGrey = 0xE0E0E0u;
constexpr OleColor kLinkBlue = 0xFF0000u;

// Where the hand of the link pointer points from.
constexpr QPoint kHandHotSpot(6, 5);

QFont formFont() { return runtimeFont(QStringLiteral("MS Sans Serif"), 8.25); }

QFont boldFont(const QString& family, double points)
{
    QFont font = runtimeFont(family, points);
    font.setBold(true);
    return font;
}

LabelControl* label(LightControlLayer& layer, double left, double top, double width,
                    double height, const QString& caption)
{
    LabelControl* l = layer.add<LabelControl>();
    l->Move(left, top, width, height);
    l->setCaption(caption);
    l->Font = formFont();
    l->ForeColor = 0x000000u;
    // Standing on the window's own grey, like the labels that are given it explicitly.
    l->Opaque = false;
    l->Alignment = Qt::AlignHCenter;
    return l;
}

ClickLabel* link(QWidget* parent, double left, double top, double width, double height,
                 const QString& address, bool bold)
{
    auto* l = new ClickLabel(address, parent);
    twips::Move(*l, left, top, width, height);
    QFont font = formFont();
    font.setUnderline(true);
    font.setBold(bold);
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, TranslateColor(kLinkBlue));
    l->setPalette(palette);
    l->setToolTip(QStringLiteral("e-mail"));
    return l;
}

// An address longer than the design's box is set a little smaller, like every caption of the
// windows, so that it keeps inside its box and off the web-site button beside it; as large as
// the box allows, no smaller.
void fitToText(QLabel& l)
{
    l.setFont(largestFittingFont(l.font(), l.text(), QRect(QPoint(0, 0), l.size())));
}

// The web-site button: our face with the site's host written on it, right of the globe.
QPixmap websiteFace(const QString& website)
{
    QImage face = artwork(QStringLiteral("website.xpm")).convertToFormat(QImage::Format_ARGB32);
    if (face.isNull())
        return {};
    const QString host = QUrl(website).host();
    QPainter painter(&face);
    painter.setFont(boldFont(QStringLiteral("Arial"), 8.25));
    painter.setPen(Qt::black);
    const QRect room(27, 3, face.width() - 31, face.height() - 6);
    painter.drawText(room, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(host, Qt::ElideRight, room.width()));
    return QPixmap::fromImage(face);
}

} // namespace

frmAbout::frmAbout(QWidget* owner, AboutInfo info) : Form(owner), m_owner(owner), m_info(std::move(info))
{
    createControls();
    Form_Load();
}

void frmAbout::createControls()
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Informazioni su.........."));
    setWindowIcon(QIcon(QPixmap::fromImage(artwork(QStringLiteral("skarvel32.xpm")))));
    setFont(formFont());
    setBackColor(kGrey);
    setClientSize(4800, 4785);

    LightControlLayer& layer = lightControls();

    Command1 = new QPushButton(QStringLiteral("&Chiudi"), this);
    twips::Move(*Command1, 1785, 4410, 1170, 330);
    Command1->setToolTip(QStringLiteral("Esci (Esc)"));
    // Like the main window's standard parts, in the classic colours: a flat grey face.
    GiveClassicLook(*Command1);
    QObject::connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    fitCaption(*Command1);
    // The window's one key beside the button's own: Escape closes it, as the button does.
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    QObject::connect(close, &QAction::triggered, this, [this] { Command1_Click(); });
    addAction(close);

    lblDescrizione = label(layer, 210, 840, 4425, 1065, QString());
    lblDescrizione->BackColor = kGrey;
    // Five lines have to fit in the box; the fonts at hand run taller than the design's.
    lblDescrizione->Font = runtimeFont(QStringLiteral("MS Sans Serif"), 7.5);
    lblDescrizione->Opaque = true;

    imgIcona = layer.add<ImageControl>();
    imgIcona->Move(210, 210, 855, 855);

    imgMail = layer.add<ImageControl>();
    imgMail->Move(315, 3885, 210, 165);
    imgMail->setPicture(artwork(QStringLiteral("mail.xpm")));

    imgDito = layer.add<ImageControl>();
    imgDito->Move(4200, 4935, 480, 480);
    imgDito->setPicture(artwork(QStringLiteral("hand.xpm")));
    imgDito->setVisible(false);

    lbleMail1 = link(this, 630, 3885, 1170, 225, m_info.collaboratorEmail, false);
    lbleMail1->Click = [this] { lbleMail1_Click(); };
    fitToText(*lbleMail1);

    imgSito = new ClickLabel(this);
    twips::Move(*imgSito, 2055, 3780, 2475, 405);
    imgSito->setPixmap(websiteFace(m_info.website));
    imgSito->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgSito->setToolTip(QStringLiteral("Sito Internet"));
    imgSito->Click = [this] { imgSito_Click(); };

    Label6 = label(layer, 210, 3255, 4395, 855, m_info.collaboratorLine);
    Label6->BackColor = kGrey;
    Label6->Opaque = true;

    // Three etched separators: a dark line with a light one a pixel below it.
    const double separators[3] = {1935, 2565, 3135};
    const std::size_t dark[3] = {0, 3, 5};
    const std::size_t light[3] = {1, 2, 4};
    for (std::size_t k = 0; k < 3; ++k) {
        Line1[dark[k]] = layer.add<LineControl>();
        Line1[dark[k]]->setEnds(450, separators[k], 4285, separators[k]);
        Line1[dark[k]]->BorderColor = kDarkGrey;
        Line1[light[k]] = layer.add<LineControl>();
        Line1[light[k]]->setEnds(450, separators[k] + 15, 4285, separators[k] + 15);
        Line1[light[k]]->BorderColor = kLightGrey;
    }

    lblEmail = link(this, 1500, 2250, 2010, 225, m_info.authorEmail, true);
    lblEmail->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblEmail->Click = [this] { lblEmail_Click(); };
    fitToText(*lblEmail);

    imgMail2 = layer.add<ImageControl>();
    imgMail2->Move(1080, 2280, 210, 165);

    Label3 = label(layer, 450, 2040, 3795, 225, m_info.authorLine);

    lblVersione = label(layer, 1290, 510, 2745, 225, QStringLiteral("Versione"));
    lblVersione->BackColor = 0xC00000u;
    lblVersione->Opaque = true;
    lblVersione->ForeColor = 0x8000000Eu;
    lblVersione->Font = boldFont(QStringLiteral("Arial"), 9.75);

    Label1 = label(layer, 1185, 90, 2850, 330, QStringLiteral("Skarvel"));
    Label1->Font = boldFont(QStringLiteral("Arial"), 14.25);

    Label4 = label(layer, 345, 2880, 4005, 225, m_info.termsLine);
    Label5 = label(layer, 450, 2670, 3795, 225,
                   QStringLiteral("Applicazione a 32 bit per Windows ® 95/98/NT"));
}

void frmAbout::Form_Load()
{
    if (m_owner)
        imgIcona->setPicture(m_owner->windowIcon().pixmap(32, 32).toImage());
    else
        imgIcona->setPicture(artwork(QStringLiteral("skarvel32.xpm")));

    const QCursor hand = pointerFrom(imgDito->Picture(), kHandHotSpot);
    lblEmail->setCursor(hand);
    lbleMail1->setCursor(hand);
    imgSito->setCursor(hand);
    imgMail2->setPicture(imgMail->Picture());
    Command1->setCursor(hand);

    lblVersione->setCaption(QStringLiteral("Versione ") + QString::number(SKARVEL_VERSION_MAJOR) +
                            u'.' + QString::number(SKARVEL_VERSION_MINOR) + u'.' +
                            QString::number(SKARVEL_VERSION_PATCH));
    lblDescrizione->setCaption(
        QStringLiteral("Skarvel consente di visualizzare e salvare in singoli file (in formato "
                       "gif  e/o bmp)") +
        QStringLiteral(" tutti i frames contenuti nelle GIF  (Graphics Interchange Format) "
                       "animate.") +
        QStringLiteral("\r\n") +
        QStringLiteral("ATTENZIONE: i file GIF, come tutte le componenti grafiche dei "
                       "programmi, sono soggette al Copyright."));

    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void frmAbout::Unload()
{
    close();
}

void frmAbout::Command1_Click()
{
    Unload();
}

void frmAbout::imgSito_Click()
{
    modal().OpenUrl(m_info.website);
}

void frmAbout::lblEmail_Click()
{
    modal().OpenUrl(QStringLiteral("mailto:") + lblEmail->text());
    Unload();
}

void frmAbout::lbleMail1_Click()
{
    modal().OpenUrl(QStringLiteral("mailto:") + lbleMail1->text());
    Unload();
}

} // namespace skarvel
