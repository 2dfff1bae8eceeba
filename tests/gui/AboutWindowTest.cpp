// The about window: its texts, its product data, its links and how it closes.
#include "about/frmAbout.h"
#include "runtime/ClickLabel.h"
#include "runtime/LightControls.h"
#include "support/FakeModal.h"
#include "support/TestFiles.h"

#include <QPushButton>
#include <QTest>

namespace skarvel::test {
namespace {

TEST(AboutInfo, ReadsKeysSkipsCommentsAndLeavesMissingKeysEmpty)
{
    ScratchDir dir;
    const QString path = dir.write(QStringLiteral("about.conf"),
                                   QByteArray("# commento = no\n\n  website =  https://example.org/a=b  \r\n"
                                              "author_line = Caffè e città\nsconosciuta = x\nsenza uguale\n"));
    const AboutInfo info = LoadAboutInfo(path);
    EXPECT_EQ((std::vector{info.website, info.authorLine, info.authorEmail}),
              (std::vector{QStringLiteral("https://example.org/a=b"), QStringLiteral("Caffè e città"), QString()}));
    EXPECT_EQ(LoadAboutInfo(dir.file(QStringLiteral("manca.conf"))).website, QString());
}

TEST(AboutWindow, ShowsItsTextsOpensItsLinksAndCloses)
{
    FakeModal dialogs;
    QWidget owner;
    QPixmap icon(32, 32);
    icon.fill(QColor(10, 200, 30));
    owner.setWindowIcon(QIcon(icon));
    // An address too long for its box is set smaller until it fits inside.
    const AboutInfo info{QStringLiteral("https://www.example.org/skarvel"), QStringLiteral("un.indirizzo.lungo@example.org"),
                         QStringLiteral("aiuto@example.org"), QStringLiteral("riga autore"),
                         QStringLiteral("riga condizioni"), QStringLiteral("riga collaboratore")};
    frmAbout about(&owner, info);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ((std::vector{about.windowTitle(), about.lblVersione->Caption(), about.Label1->Caption(), about.lblEmail->text(),
                           about.lbleMail1->text(), about.Label3->Caption(), about.Label4->Caption(), about.Label6->Caption()}),
              (std::vector{QStringLiteral("Informazioni su.........."), QStringLiteral("Versione 1.3.0"), QStringLiteral("Skarvel"),
                           info.authorEmail, info.collaboratorEmail, info.authorLine, info.termsLine, info.collaboratorLine}));
    // The boxes: 134 pixels from x = 100, and 78 from x = 42, right of which the web-site
    // button starts at x = 137. Each address is set smaller, as large as keeps it inside: its
    // ink fills nine tenths of the box or more (a pixel size less left the short one 69 of 78).
    for (const auto& [link, box] : {std::pair(about.lblEmail, QRect(100, 150, 134, 15)), std::pair(about.lbleMail1, QRect(42, 259, 78, 15))}) {
        const QRectF ink = QFontMetricsF(link->font()).boundingRect(link->text());
        EXPECT_TRUE(link->geometry() == box && ink.width() <= box.width() && ink.width() >= 0.9 * box.width() &&
                    link->font().pointSizeF() < 8.25 && about.imgSito->x() == 137)
            << link->text().toStdString() << " in " << link->font().pointSizeF() << " pt: " << ink.width() << " of " << box.width();
    }
    EXPECT_EQ(about.size(), QSize(320, 319));
    // The icon is the owner's, the second mail sign a copy of the first, and the links and
    // the close button point with the hand from its fingertip.
    EXPECT_EQ(std::make_tuple(about.imgIcona->Picture().pixelColor(16, 16), about.imgMail2->Picture(), about.imgMail->Picture().size()),
              std::make_tuple(QColor(10, 200, 30), about.imgMail->Picture(), QSize(14, 11)));
    for (QWidget* w : std::initializer_list<QWidget*>{about.lblEmail, about.lbleMail1, about.imgSito, about.Command1})
        EXPECT_EQ(std::make_pair(w->cursor().shape(), w->cursor().hotSpot()), std::make_pair(Qt::BitmapCursor, QPoint(6, 5)));

    // The web link leaves the window open, each time; a right click or a press dragged off
    // a link does nothing; a mail link and the button close it.
    QTest::mouseClick(about.imgSito, Qt::LeftButton);
    QTest::mouseClick(about.imgSito, Qt::LeftButton);
    QTest::mouseClick(about.imgSito, Qt::RightButton);
    QTest::mousePress(about.imgSito, Qt::LeftButton);
    QTest::mouseRelease(about.imgSito, Qt::LeftButton, {}, QPoint(-2, 5));
    EXPECT_TRUE(about.isVisible());
    QTest::mouseClick(about.lbleMail1, Qt::LeftButton);
    EXPECT_EQ(std::make_pair(about.isVisible(), dialogs.urls), std::make_pair(false, std::vector{info.website, info.website, QStringLiteral("mailto:aiuto@example.org")}));
    about.show();
    QTest::mouseClick(about.Command1, Qt::LeftButton);
    EXPECT_EQ(std::make_pair(about.isVisible(), dialogs.urls.size()), std::make_pair(false, std::size_t(3)));
}

} // namespace
} // namespace skarvel::test
