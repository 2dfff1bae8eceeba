#pragma once

#include "frames/FrameComposer.h"
#include "frames/PicturesInOrder.h"
#include "frames/SaveFrames.h"

namespace skarvel {

// What a composed screen shows where no frame has drawn: nothing in a PNG, the screen's
// background colour in a bitmap, which has no transparency.
QRgb EmptyScreen(const FrameTable& table, FrameFormat format);

// The screens of a table's frames as a viewer shows them, composed from the first frame on, the
// pictures decoded again on every core: for a save that has to take up the composition at a
// frame whose screen it does not hold.
class ComposedScreens {
public:
    ComposedScreens(const FrameTable& table, FrameFormat format);

    // The screen of frame `index`, composing the frames up to it; `index` only grows from one
    // call to the next. Throws RuntimeError or std::bad_alloc as FrameComposer does.
    QImage screen(std::size_t index);

private:
    const FrameTable& m_table;
    FrameComposer m_composer;
    PicturesInOrder m_pictures;
    std::size_t m_next = 0;
    QImage m_shown;
};

} // namespace skarvel
