#pragma once

#include <cstdint>
#include <vector>

namespace skarvel::bench {

// Frame `index` of a made-up screen recording in 256 greys, `width` x `height` pixels, row by row
// into `pixels`: a desktop gradient, a top bar with a clock, an editor whose last line is typed a
// glyph or two a frame and whose text scrolls a line every twelve frames, a file list, a small
// video playing noise, and the pointer moving over it all. Like a real recording it is mostly
// flat areas and text that compress well, with little changing between frames; the same bytes
// on every run. Laid out for 1920 x 1080; other sizes are clipped or leave a larger desktop.
void drawScreenFrame(int width, int height, int index, std::vector<std::uint8_t>& pixels);

} // namespace skarvel::bench
