#pragma once

#include "WindowFixture.h"

#include "platform/PictureBox.h"
#include "platform/StatusBarWindow.h"
#include "support/FakeModal.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace skarvel::test {

// The main window with its dialogs answered by the test, and a scratch folder for GIFs.
class WorkflowTest : public MainWindowTest {
protected:
    // `count` solid frames, frame i in colour i, each with the delay given in hundredths of a
    // second (0.1 s when none are given); patterned, frame i is a pattern starting at colour i.
    static QByteArray solidFrames(int count, std::vector<int> delays = {}, int size = 24,
                                  bool patterned = false)
    {
        const int colours = std::max(count, 4);
        GifBuilder gif(size, size, distinctColours(colours));
        for (int i = 0; i < count; ++i) {
            ImageSpec frame = patterned ? GifBuilder::pattern(size, size, colours, i)
                                        : GifBuilder::solid(size, size, std::uint8_t(i));
            frame.control->delay = delays.empty() ? 10 : delays[std::size_t(i)];
            gif.image(frame);
        }
        return gif.build();
    }

    QString gif(const QString& name, const QByteArray& bytes) const { return dir.write(name, bytes); }

    // Runs the open command with the dialog answering `path` ("" cancels).
    void open(const QString& path)
    {
        dialogs.openAnswers.push_back(path);
        window->picButton_Click(0);
    }

    // Runs the save command with the folder dialog answering `folder` ("" cancels).
    void save(const QString& folder)
    {
        dialogs.folderAnswers.push_back(folder);
        window->picButton_Click(1);
    }

    QString statusText(int part) const
    {
        return window->sbMain->GetText(std::int16_t(part));
    }

    // Every pixel of the box's drawing area in its background colour.
    static bool blank(const PictureBox& box)
    {
        const QImage& image = box.surface().image();
        const QRgb back = TranslateColor(box.surface().BackColor()).rgb() | 0xFF000000u;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) | 0xFF000000u) != back)
                    return false;
        return true;
    }

    // The window as the open command leaves it before its dialog.
    void expectReset() const
    {
        const frmSkarvel& w = *window;
        EXPECT_FALSE(w.Timer1->isActive());
        EXPECT_TRUE(blank(*w.picAnimGif));
        EXPECT_TRUE(blank(*w.picMin));
        EXPECT_EQ(statusText(0), QString());
        EXPECT_EQ(statusText(1), QString());
        EXPECT_FALSE(w.picButton[1]->isEnabled());
        for (auto* label : w.lblNFrame)
            EXPECT_EQ(label->Caption(), QString());
        EXPECT_FALSE(w.picUpDown[0]->isVisible());
        EXPECT_FALSE(w.picUpDown[1]->isVisible());
        EXPECT_EQ(w.VScroll->value(), 0);
    }

    FakeModal dialogs;
    ScratchDir dir;
};

} // namespace skarvel::test
