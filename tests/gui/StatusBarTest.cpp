// The status bar wrapper on a plain parent window: creation, parts, texts, taking a control in.
#include "platform/PictureBox.h"
#include "platform/RuntimeError.h"
#include "platform/StatusBarWindow.h"
#include "widgets/StatusBar.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override { parent.resize(399, 393); }
    QWidget parent;
};

TEST_F(StatusBarTest, CreateOnceDockedAtTheBottomAndGoneWithTheObject)
{
    QPointer<StatusBarWindow> made;
    {
        StatusBar bar;
        EXPECT_EQ(bar.hWnd(), nullptr);
        EXPECT_EQ(bar.GetText(0), QString());
        EXPECT_TRUE(bar.Create(parent));
        EXPECT_FALSE(bar.Create(parent));
        EXPECT_EQ(parent.findChildren<StatusBarWindow*>().size(), 1);
        made = bar.hWnd();
        ASSERT_TRUE(made);
        EXPECT_EQ(made->geometry(), QRect(0, 373, 399, 20));

        parent.resize(500, 300);
        bar.Resize(parent);
        EXPECT_EQ(made->geometry(), QRect(0, 280, 500, 20));
        bar.Hide();
        EXPECT_TRUE(made->isHidden());
        bar.Show();
        EXPECT_FALSE(made->isHidden());
    }
    EXPECT_FALSE(made);
    EXPECT_TRUE(parent.findChildren<StatusBarWindow*>().isEmpty());
}

TEST_F(StatusBarTest, PartsAndTexts)
{
    StatusBar bar;
    bar.Create(parent);
    const std::int16_t edges[] = {309, -1};
    bar.SetParts(2, edges);
    const StatusBarWindow& w = *bar.hWnd();
    ASSERT_EQ(w.partCount(), 2);
    EXPECT_EQ(w.partRect(0), QRect(QPoint(0, 2), QPoint(308, 19)));
    EXPECT_EQ(w.partRect(1), QRect(QPoint(311, 2), QPoint(398, 19)));

    EXPECT_EQ(bar.GetText(1), QString());
    const QString path = QStringLiteral("       /tmp/animazione è.gif");
    bar.SetText(0, path);
    bar.SetText(1, QStringLiteral("    Frames: 12"));
    EXPECT_EQ(bar.GetText(0), path);
    EXPECT_EQ(bar.GetText(1), QStringLiteral("    Frames: 12"));
    bar.SetText(1, QString());
    EXPECT_EQ(bar.GetText(1), QString());
    EXPECT_EQ(bar.GetText(0), path);
    bar.SetToolTip(1, QStringLiteral("Numero dei frames"));
    EXPECT_EQ(w.partToolTip(1), QStringLiteral("Numero dei frames"));
    // Parts that do not exist keep nothing.
    bar.SetText(5, QStringLiteral("x"));
    EXPECT_EQ(bar.GetText(5), QString());
}

TEST_F(StatusBarTest, SetPartsBounds)
{
    StatusBar bar;
    bar.Create(parent);
    const std::int16_t one[] = {-1};
    const auto number = [&](std::int16_t count, std::span<const std::int16_t> edges) {
        try {
            bar.SetParts(count, edges);
        } catch (const RuntimeError& e) {
            return int(e.number());
        }
        return 0;
    };
    EXPECT_EQ(number(0, one), RuntimeError::SubscriptOutOfRange);
    EXPECT_EQ(number(256, std::vector<std::int16_t>(256, 1)), RuntimeError::Overflow);
    EXPECT_EQ(number(2, one), RuntimeError::SubscriptOutOfRange);
    EXPECT_EQ(number(255, std::vector<std::int16_t>(255, -1)), 0);
    EXPECT_EQ(bar.hWnd()->partCount(), 255);
    EXPECT_EQ(number(1, one), 0);
    EXPECT_EQ(bar.hWnd()->partRect(0), QRect(QPoint(0, 2), QPoint(398, 19)));
}

TEST_F(StatusBarTest, CopyObjPutsTheControlInsideThePart)
{
    StatusBar bar;
    bar.Create(parent);
    const std::int16_t edges[] = {309, -1};
    bar.SetParts(2, edges);
    auto* first = new PictureBox(&parent);
    auto* second = new PictureBox(&parent);
    first->hide();
    bar.CopyObj(0, *first);
    bar.CopyObj(1, *second);
    EXPECT_EQ(first->parentWidget(), bar.hWnd());
    EXPECT_FALSE(first->isHidden());
    // The first part, 0, 2 to 309, 20 pixels, is left 0, top 30, width 4635, height 270 twips; the
    // control goes 15 twips in from each side.
    EXPECT_EQ(first->Left(), 15);
    EXPECT_EQ(first->Top(), 45);
    EXPECT_EQ(first->Width(), 4605);
    EXPECT_EQ(first->Height(), 240);
    // The second part: 311, 2 to 399, 20.
    EXPECT_EQ(second->geometry(), QRect(312, 3, 86, 16));
}

} // namespace
} // namespace skarvel::test
