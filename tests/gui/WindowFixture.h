#pragma once

#include "viewer/frmSkarvel.h"

#include <QImage>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace skarvel::test {

// Offscreen windows cannot grab the mouse at the platform level; Qt still routes the mouse to
// the grabbing widget, which is all the tests need. Silence that one warning.
inline void quietGrabWarnings()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message.contains(QLatin1String("does not support grabbing the mouse")))
                return;
            if (previous)
                previous(type, context, message);
        });
}

// A loaded, shown main window. Closing it must not end the test program.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        quietGrabWarnings();
        window = std::make_unique<frmSkarvel>();
        window->End = [this] { ++ends; };
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override
    {
        window.reset();
    }

    // The real mouse path: through the window, so that capture and widget lookup apply.
    QPoint at(QWidget* widget, QPoint local) const { return widget->mapTo(window.get(), local); }
    void move(QPoint windowPos) { QTest::mouseMove(window->windowHandle(), windowPos); }
    void press(QPoint windowPos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(window->windowHandle(), button, {}, windowPos);
    }
    void release(QPoint windowPos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(window->windowHandle(), button, {}, windowPos);
    }

    std::unique_ptr<frmSkarvel> window;
    int ends = 0;
};

} // namespace skarvel::test
