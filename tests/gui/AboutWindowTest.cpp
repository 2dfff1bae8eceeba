// The about window: its texts, its product data, its links and how it closes.
#include "about/frmAbout.h"
#include "platform/ClickLabel.h"
#include "platform/LightControls.h"
#include "support/FakeModal.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>

namespace skarvel::test {
namespace {

TEST(AboutInfo, ReadsKeysSkipsCommentsLeavesMissingKeysEmptyAndShipsNeutralData)
{
    ScratchDir dir;
    const QString path = dir.write(
        QStringLiteral("about.conf"),
        QByteArray("# commento = no\n\n  website =  https://example.org/a=b  \r\n"
                   "author_line = Caffè e città\nsconosciuta = x\nsenza uguale\n"));
    const AboutInfo info = LoadAboutInfo(path);
    EXPECT_EQ(info.website, QStringLiteral("https://example.org/a=b"));
    EXPECT_EQ(info.authorLine, QStringLiteral("Caffè e città"));
    EXPECT_EQ(info.authorEmail, QString());
    EXPECT_EQ(LoadAboutInfo(dir.file(QStringLiteral("manca.conf"))).website, QString());

    const AboutInfo shipped = LoadAboutInfo();
    EXPECT_TRUE(shipped.website.startsWith(QStringLiteral("https://"))) << shipped.website.toStdString();
    EXPECT_TRUE(QUrl(shipped.website).host().endsWith(QStringLiteral("example.org")));
    for (const QString& address : {shipped.authorEmail, shipped.collaboratorEmail})
        EXPECT_TRUE(address.endsWith(QStringLiteral("@example.org"))) << address.toStdString();
}

class AboutWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(QColor(10, 200, 30));
        owner.setWindowIcon(QIcon(QPixmap::fromImage(icon)));
        AboutInfo info;
        info.website = QStringLiteral("https://www.example.org/skarvel");
        info.authorEmail = QStringLiteral("autore@example.org");
        info.collaboratorEmail = QStringLiteral("aiuto@example.org");
        info.authorLine = QStringLiteral("riga autore");
        info.termsLine = QStringLiteral("riga condizioni");
        info.collaboratorLine = QStringLiteral("riga collaboratore");
        about = std::make_unique<frmAbout>(&owner, info);
        about->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(about.get()));
    }

    FakeModal dialogs;
    QWidget owner;
    std::unique_ptr<frmAbout> about;
};

TEST_F(AboutWindow, ShowsVersionDescriptionAndProductData)
{
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Informazioni su.........."));
    EXPECT_EQ(about->lblVersione->Caption(), QStringLiteral("Versione 1.3.0"));
    EXPECT_EQ(about->lblDescrizione->Caption(),
              QStringLiteral("Skarvel consente di visualizzare e salvare in singoli file (in "
                             "formato gif  e/o bmp) tutti i frames contenuti nelle GIF  "
                             "(Graphics Interchange Format) animate.\r\nATTENZIONE: i file GIF, "
                             "come tutte le componenti grafiche dei programmi, sono soggette al "
                             "Copyright."));
    EXPECT_EQ(about->Label1->Caption(), QStringLiteral("Skarvel"));
    EXPECT_EQ(about->lblEmail->text(), QStringLiteral("autore@example.org"));
    EXPECT_EQ(about->lbleMail1->text(), QStringLiteral("aiuto@example.org"));
    EXPECT_EQ(about->Label3->Caption(), QStringLiteral("riga autore"));
    EXPECT_EQ(about->Label4->Caption(), QStringLiteral("riga condizioni"));
    EXPECT_EQ(about->Label6->Caption(), QStringLiteral("riga collaboratore"));
    EXPECT_EQ(about->size(), QSize(320, 319));
    // The icon is the owner's, the second mail sign a copy of the first, and the links and
    // the close button point with the hand from its fingertip.
    EXPECT_EQ(about->imgIcona->Picture().pixelColor(16, 16), QColor(10, 200, 30));
    EXPECT_EQ(about->imgMail2->Picture(), about->imgMail->Picture());
    EXPECT_EQ(about->imgMail->Picture().size(), QSize(14, 11));
    for (QWidget* w : std::initializer_list<QWidget*>{about->lblEmail, about->lbleMail1, about->imgSito, about->Command1})
        EXPECT_EQ(std::make_pair(w->cursor().shape(), w->cursor().hotSpot()),
                  std::make_pair(Qt::BitmapCursor, QPoint(6, 5)));
}

TEST_F(AboutWindow, DescriptionIsPaintedAsTwoParagraphs)
{
    // The rows of the label's box that carry ink when painted with `caption`.
    LabelControl& label = *about->lblDescrizione;
    const auto inkedRows = [&](const QString& caption) {
        label.setCaption(caption);
        QImage image(about->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        label.paint(painter);
        std::vector<bool> rows;
        const QRect box = label.pixelRect();
        for (int y = box.top(); y <= box.bottom(); ++y) {
            bool any = false;
            for (int x = box.left(); x <= box.right() && !any; ++x)
                any = image.pixelColor(x, y).lightness() < 100;
            rows.push_back(any);
        }
        return rows;
    };
    const QString full = label.Caption();
    const std::vector<bool> first = inkedRows(full.left(full.indexOf(QStringLiteral("\r\n"))));
    const std::vector<bool> both = inkedRows(full);
    const auto lastInked = std::find(first.rbegin(), first.rend(), true).base() - first.begin();
    ASSERT_GT(lastInked, 0);
    // The second paragraph starts on a line of its own, below everything of the first, and
    // the whole description fits in the label.
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + lastInked, both.begin()));
    EXPECT_NE(std::find(both.begin() + lastInked, both.end(), true), both.end());
    EXPECT_FALSE(both.back());
}

TEST_F(AboutWindow, WebLinkLeavesItOpenMailLinkAndCloseButtonClose)
{
    QTest::mouseClick(about->imgSito, Qt::LeftButton);
    QTest::mouseClick(about->imgSito, Qt::LeftButton);
    QTest::mouseClick(about->imgSito, Qt::RightButton);
    EXPECT_EQ(dialogs.urls, (std::vector<QString>(2, QStringLiteral("https://www.example.org/skarvel"))));
    EXPECT_TRUE(about->isVisible());

    QTest::mouseClick(about->lbleMail1, Qt::LeftButton);
    EXPECT_EQ(dialogs.urls.back(), QStringLiteral("mailto:aiuto@example.org"));
    EXPECT_FALSE(about->isVisible());

    about->show();
    QTest::mouseClick(about->Command1, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(dialogs.urls.size(), 3u);
}

} // namespace
} // namespace skarvel::test
