// Real clicks on the three command buttons run open, save and the about window.
#include "WorkflowFixture.h"

#include "about/frmAbout.h"
#include "platform/ClickLabel.h"
#include "platform/LightControls.h"

#include <algorithm>

namespace skarvel::test {
namespace {

class CommandDispatch : public WorkflowTest {
protected:
    void click(int index)
    {
        const QPoint p = at(window->picButton[std::size_t(index)], {8, 8});
        move(p);
        press(p);
        release(p);
    }
};

TEST_F(CommandDispatch, EachButtonRunsItsCommand)
{
    // Nothing opened yet: the save button is disabled and a click on it reaches nothing.
    click(1);
    EXPECT_TRUE(dialogs.folderPrompts.empty());

    dialogs.openAnswers.push_back(gif(QStringLiteral("anim.gif"), solidFrames(2)));
    click(0);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));

    dialogs.folderAnswers.push_back(QString());
    click(1);
    EXPECT_EQ(dialogs.folderPrompts.size(), 1u);

    // Indexes of no button do nothing.
    window->picButton_Click(3);
    window->picButton_Click(-1);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.folderPrompts.size(), 1u);
    EXPECT_EQ(dialogs.formsShown, 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CommandDispatch, AboutWindowIsModalOverTheWindowAndGoesWhenClosed)
{
    bool shown = false;
    dialogs.whileFormShown = [&](QWidget& form) {
        auto* about = dynamic_cast<frmAbout*>(&form);
        ASSERT_NE(about, nullptr);
        shown = true;
        EXPECT_EQ(about->parentWidget(), window.get());
        EXPECT_TRUE(about->isWindow());
        EXPECT_EQ(about->lblVersione->Caption(), QStringLiteral("Versione 1.3.0"));
        // Clicks on the about window reach it: the pressed button does not keep the mouse.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
        const auto clickOn = [about](QWidget* w) {
            const QPoint p = w->mapTo(about, QPoint(5, 5));
            QTest::mouseMove(about->windowHandle(), p);
            QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, p);
        };
        clickOn(about->imgSito);
        EXPECT_TRUE(about->isVisible());
        clickOn(about->lblEmail);
        EXPECT_FALSE(about->isVisible());
    };
    click(2);
    EXPECT_TRUE(shown);
    EXPECT_EQ(dialogs.formsShown, 1);
    ASSERT_EQ(dialogs.urls.size(), 2u);
    EXPECT_TRUE(dialogs.urls[0].startsWith(QStringLiteral("https://")));
    EXPECT_EQ(dialogs.urls[1], QStringLiteral("mailto:") + LoadAboutInfo().authorEmail);
    const QObjectList children = window->children();
    EXPECT_TRUE(std::none_of(children.begin(), children.end(),
                             [](QObject* child) { return dynamic_cast<frmAbout*>(child); }))
        << "every showing is a new window";

    // A second showing starts afresh.
    dialogs.whileFormShown = [](QWidget& form) { EXPECT_TRUE(form.isVisible()); };
    click(2);
    EXPECT_EQ(dialogs.formsShown, 2);
}

} // namespace
} // namespace skarvel::test
