#pragma once

#include "frames/FrameTable.h"

#include <QRgb>

namespace skarvel {

// Where a frame's image lies on the logical screen and what becomes of it once shown, as the GIF
// says: read from the bytes the frame's picture is decoded from (the header, then the frame's
// chunk), so that they describe that very picture.
struct FramePlacement {
    // The disposal method of the last Graphic Control Extension in front of the image (0 when
    // there is none): 0 none, 1 keep, 2 restore the background, 3 restore what was there before;
    // other values are kept as the file gives them.
    int disposal = 0;
    int left = 0;
    int top = 0;
};

// The placement of frame `index` of `table`. Bytes that end before the image descriptor give the
// frame's table values (its position) and disposal 0.
FramePlacement PlacementOf(const FrameTable& table, std::size_t index);

// The logical screen's background colour: the global colour table's entry that the screen
// descriptor names, opaque; black when there is no global table or it is too short for the index.
QRgb ScreenBackground(const FrameTable& table);

} // namespace skarvel
