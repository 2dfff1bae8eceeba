#pragma once

#include "viewer/frmSkarvel.h"

#include "frames/SplitGifFrames.h"
#include "runtime/LongWork.h"
#include "runtime/PictureBox.h"
#include "support/FakeModal.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"
#include "support/Wait.h"

#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace skarvel::test {

constexpr int kLong = 20000; // for waits: the machine may be busy

// A shown, active main window whose dialogs the test answers, with a scratch folder for GIFs.
// Closing it must not end the test program.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<frmSkarvel>();
        window->End = [this] { ++ends; };
        window->show();
        ASSERT_NO_FATAL_FAILURE(activate());
        // A move to where the pointer already is reaches nobody: start every test off the buttons.
        move(QPoint(300, 300));
    }
    void TearDown() override { LongWork::stepGate = nullptr; }
    // Holds the next long work (an open, a save) after its first step until the answer is called,
    // or for a minute at most: input sent meanwhile meets the work under way, however fast the
    // machine.
    static std::function<void()> holdWork()
    {
        const auto handled = std::make_shared<std::promise<void>>();
        LongWork::stepGate = [held = handled->get_future().share()](std::size_t done) {
            if (done == 1)
                static_cast<void>(held.wait_for(std::chrono::minutes(1)));
        };
        return [handled] { handled->set_value(); };
    }
    // Keys go to the active window; a window shown over this one may have taken that.
    void activate()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // The real input path: through the window, so that capture, focus and shortcuts apply.
    QPoint at(QWidget* widget, QPoint local) const { return widget->mapTo(window.get(), local); }
    void move(QPoint p) { QTest::mouseMove(window->windowHandle(), p); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(window->windowHandle(), b, {}, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(window->windowHandle(), b, {}, p); }
    void click(QPoint p) { move(p); press(p); release(p); }
    void key(int k, Qt::KeyboardModifiers m = {}) { activate(); QTest::keyClick(window->windowHandle(), Qt::Key(k), m); }
    QPoint upDown(int index) const { return at(window->picUpDown[std::size_t(index)], {7, 7}); }
    QImage shot() const { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The one-pixel ring round `w` on the window: the colour (RGB) of its top row and left
    // column but their far ends, and that of the rest; {0, 0} when either is not one colour.
    std::pair<QRgb, QRgb> ring(const QWidget* w) const
    {
        const QImage seen = shot();
        const QRect r = w->geometry().adjusted(-1, -1, 1, 1);
        std::set<QRgb> topLeft, bottomRight;
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (x == r.left() || x == r.right() || y == r.top() || y == r.bottom())
                    (x == r.right() || y == r.bottom() ? bottomRight : topLeft).insert(seen.pixel(x, y) & 0xFFFFFFu);
        return topLeft.size() == 1 && bottomRight.size() == 1 ? std::make_pair(*topLeft.begin(), *bottomRight.begin()) : std::make_pair(0u, 0u);
    }

    // `count` frames of size x size, frame i solid in colour i (patterned: a pattern from
    // colour i), each with its delay in hundredths (one delay for all, or 0.1 s when none).
    static QByteArray solidFrames(int count, std::vector<int> delays = {}, int size = 20, bool patterned = false)
    {
        GifBuilder gif(size, size, colours(count));
        for (int i = 0; i < count; ++i) {
            ImageSpec frame = patterned ? GifBuilder::pattern(size, size, int(colours(count).size()), i)
                                        : GifBuilder::solid(size, size, std::uint8_t(i));
            frame.control->delay = delays.empty() ? 10 : delays[delays.size() == 1 ? 0 : std::size_t(i)];
            gif.image(frame);
        }
        return gif.build();
    }
    static std::vector<Rgb> colours(int count) { return distinctColours(std::max(count, 4)); }
    static QRgb rgb(const Rgb& c) { return qRgb(c[0], c[1], c[2]); }
    static QRgb colour(OleColor c) { return TranslateColor(c).rgb(); }
    static QRgb pixel(const PictureBox* box, int x, int y) { return box->surface().image().pixel(x, y) | 0xFF000000u; }

    // The table straight from GIF bytes, then what the open does after it: the strip, and its
    // down button when there are more frames than slots.
    void showStrip(const QByteArray& gif)
    {
        ASSERT_GE(window->lLastFrame = SplitGifBytes(gif, window->Frames), 1);
        window->DrawThumbnails();
        window->picUpDown[0]->setVisible(window->lLastFrame > 3);
        window->picUpDown[0]->setEnabled(window->lLastFrame > 3);
    }
    std::vector<std::string> captions() const
    {
        std::vector<std::string> seen;
        for (auto* label : window->lblNFrame)
            seen.push_back(label->Caption().toStdString());
        return seen;
    }

    QString gif(const QString& name, const QByteArray& bytes) const { return dir.write(name, bytes); }
    // The open and save commands, their dialog answering `path` ("" cancels).
    void open(const QString& path) { dialogs.answers.push_back(path); window->picButton_Click(0); }
    void save(const QString& folder) { dialogs.answers.push_back(folder); window->picButton_Click(1); }
    // Exactly one message, `prompt` with `buttons`, titled with the program's name, over the window.
    void expectMessage(const QString& prompt, int buttons)
    {
        EXPECT_EQ(dialogs.messages, (std::vector<FakeModal::Message>{{window.get(), prompt, buttons, QStringLiteral("Skarvel")}}));
        dialogs.messages.clear();
    }
    QString statusText(int part) const { return window->sbMain->GetText(std::int16_t(part)); }

    // Every pixel of the box's drawing area in its background colour.
    static bool blank(const PictureBox& box)
    {
        QImage expected(box.surface().pixelSize(), QImage::Format_RGB32);
        expected.fill(TranslateColor(box.surface().BackColor()));
        return box.surface().image().convertToFormat(QImage::Format_RGB32) == expected;
    }
    // The window as the open command leaves it before its dialog.
    void expectReset() const
    {
        const frmSkarvel& w = *window;
        EXPECT_TRUE(!w.Timer1->isActive() && blank(*w.picAnimGif) && blank(*w.picMin) && !w.picButton[1]->isEnabled());
        EXPECT_EQ(std::make_pair(statusText(0) + statusText(1), captions()), std::make_pair(QString(), std::vector<std::string>(4)));
        EXPECT_FALSE(w.picUpDown[0]->isVisible() || w.picUpDown[1]->isVisible() || w.VScroll->value());
    }

    FakeModal dialogs;
    ScratchDir dir;
    std::unique_ptr<frmSkarvel> window;
    int ends = 0;
    QWidget* const none = nullptr;
};

// Within `tolerance` on every channel: a shrunk picture is averaged.
inline bool near(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace skarvel::test
