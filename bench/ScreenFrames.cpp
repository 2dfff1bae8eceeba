#include "ScreenFrames.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace skarvel::bench {

namespace {

std::uint32_t mix(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

constexpr int kGlyphWidth = 9;
constexpr int kGlyphHeight = 16;
constexpr int kLineHeight = 20;
constexpr int kGlyphs = 64;

// A cell of a glyph: paper, a grey edge (text is drawn smoothed), or ink.
using Glyph = std::array<std::uint8_t, kGlyphWidth * kGlyphHeight>;

// Glyphs of two to six strokes each, with a grey edge on their right and lower sides: text that
// repeats its letters, as text does, so it compresses as much as a real font would.
const std::array<Glyph, kGlyphs>& font()
{
    static const std::array<Glyph, kGlyphs> glyphs = [] {
        std::array<Glyph, kGlyphs> made{};
        for (int g = 0; g < kGlyphs; ++g) {
            Glyph& cell = made[std::size_t(g)];
            const std::uint32_t strokes = mix(std::uint32_t(g) + 1) | 0x3u << (g % 7);
            const auto ink = [&](int x, int y) { cell[std::size_t(y * kGlyphWidth + x)] = 2; };
            for (int i = 0; i < 11; ++i) {
                if (strokes & 1u) ink(1, 3 + i);
                if (strokes & 2u) ink(6, 3 + i);
                if (strokes & 4u && i < 6) ink(1 + i, 3);
                if (strokes & 8u && i < 6) ink(1 + i, 8);
                if (strokes & 16u && i < 6) ink(1 + i, 13);
                if (strokes & 32u) ink(4, 3 + i);
                if (strokes & 64u) ink(1 + i / 2, 13 - i);
            }
            if (strokes & 128u)
                for (int y = 13; y < kGlyphHeight; ++y) ink(5, y);
            for (int y = kGlyphHeight - 1; y > 0; --y)
                for (int x = kGlyphWidth - 1; x > 0; --x) {
                    std::uint8_t& c = cell[std::size_t(y * kGlyphWidth + x)];
                    if (c == 0 && (cell[std::size_t(y * kGlyphWidth + x - 1)] == 2 || cell[std::size_t((y - 1) * kGlyphWidth + x)] == 2))
                        c = 1;
                }
        }
        return made;
    }();
    return glyphs;
}

struct Canvas {
    int width;
    int height;
    std::uint8_t* pixels;

    void fill(int x0, int y0, int x1, int y1, std::uint8_t grey)
    {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, width);
        for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
            if (x0 < x1)
                std::memset(pixels + std::size_t(y) * std::size_t(width) + std::size_t(x0), grey, std::size_t(x1 - x0));
    }

    void glyph(int x0, int y0, int g, std::uint8_t ink, std::uint8_t paper)
    {
        const Glyph& cell = font()[std::size_t(g % kGlyphs)];
        const std::uint8_t shades[3] = {paper, std::uint8_t((ink + paper) / 2), ink};
        for (int y = 0; y < kGlyphHeight; ++y)
            for (int x = 0; x < kGlyphWidth; ++x)
                if (x0 + x >= 0 && x0 + x < width && y0 + y >= 0 && y0 + y < height)
                    pixels[std::size_t(y0 + y) * std::size_t(width) + std::size_t(x0 + x)] = shades[cell[std::size_t(y * kGlyphWidth + x)]];
    }

    // `count` decimal digits of `value` (glyphs 0 to 9 stand for the digits).
    void number(int x0, int y0, int value, int count, std::uint8_t ink, std::uint8_t paper)
    {
        for (int i = count - 1; i >= 0; --i, value /= 10)
            glyph(x0 + i * kGlyphWidth, y0, value % 10, ink, paper);
    }

    // Line `line` of a made-up source text, its first `shown` glyphs; answers where it ends.
    int textLine(int x0, int y0, std::uint32_t line, int shown, std::uint8_t ink, std::uint8_t paper)
    {
        const std::uint32_t h = mix(line * 2654435761u + 7);
        if (h % 7 == 0)
            return x0; // a blank line
        const int indent = int(h >> 3 & 3) * 4;
        const int length = std::min(indent + 6 + int(h >> 8 & 63), shown);
        int x = x0 + indent * kGlyphWidth;
        for (int c = indent; c < length; ++c, x += kGlyphWidth) {
            const std::uint32_t k = mix(line * 1000003u + std::uint32_t(c));
            if (k % 6 != 0)
                glyph(x, y0, int(k >> 3), ink, paper);
        }
        return x;
    }
};

// A triangle wave over [0, span], one period every `period` frames.
int sweep(int index, int period, int span)
{
    const int t = index % period;
    return (t < period / 2 ? t : period - t) * span * 2 / period;
}

void drawDesktop(Canvas& c, int index)
{
    for (int y = 0; y < c.height; ++y)
        c.fill(0, y, c.width, y + 1, std::uint8_t(60 + y * 50 / std::max(c.height, 1)));
    c.fill(0, 0, c.width, 28, 210);
    for (int i = 0; i < 5; ++i)
        c.textLine(12 + i * 110, 6, 9000u + std::uint32_t(i), 8, 30, 210);
    const int seconds = index * 3 / 100; // the frames' delay: three hundredths
    c.number(c.width - 80, 6, seconds / 60 * 100 + seconds % 60, 4, 30, 210);
}

void drawEditor(Canvas& c, int index)
{
    constexpr int left = 48, top = 64, right = 1240, bottom = 1032;
    c.fill(left - 1, top - 25, right + 1, bottom + 1, 120);
    c.fill(left, top - 24, right, top, 180);
    c.textLine(left + 8, top - 20, 7000u, 24, 20, 180);
    c.fill(left, top, right, bottom, 248);
    c.fill(left, top, left + 56, bottom, 232);
    const int rows = (bottom - top) / kLineHeight;
    const int first = index / 12; // one line scrolls up every twelve frames
    for (int r = 0; r < rows; ++r) {
        const int line = first + r;
        const int y = top + r * kLineHeight + 2;
        c.number(left + 6, y, line + 1, 4, 140, 232);
        // The last line is being typed.
        const int shown = r == rows - 1 ? (index % 12 + 1) * 8 : 1 << 20;
        const int end = c.textLine(left + 64, y, std::uint32_t(line), shown, 40, 248);
        if (r == rows - 1 && index / 8 % 2 == 0)
            c.fill(end, y, end + 2, y + kGlyphHeight, 0);
    }
}

void drawSidePanel(Canvas& c, int index)
{
    constexpr int left = 1280, right = 1880;
    // A video: bands drifting under a noisy picture-in-picture that changes every frame.
    c.fill(left - 1, 63, right + 1, 401, 120);
    for (int y = 64; y < std::min(400, c.height); ++y)
        for (int x = left; x < std::min(right, c.width); ++x)
            c.pixels[std::size_t(y) * std::size_t(c.width) + std::size_t(x)] = std::uint8_t(90 + ((x + y) / 8 + index * 2) % 32 * 3);
    std::uint32_t noise = mix(std::uint32_t(index) + 1);
    for (int y = 240; y < std::min(384, c.height); ++y)
        for (int x = right - 208; x < std::min(right - 16, c.width); ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            c.pixels[std::size_t(y) * std::size_t(c.width) + std::size_t(x)] = std::uint8_t(noise >> 24);
        }
    // A file list whose selection moves on every forty frames.
    constexpr int top = 440, bottom = 1032;
    c.fill(left - 1, top - 1, right + 1, bottom + 1, 120);
    c.fill(left, top, right, bottom, 236);
    const int rows = (bottom - top) / kLineHeight;
    const int selected = index / 40 % rows;
    for (int r = 0; r < rows; ++r) {
        const std::uint8_t paper = r == selected ? 200 : 236;
        if (r == selected)
            c.fill(left, top + r * kLineHeight, right, top + (r + 1) * kLineHeight, paper);
        c.textLine(left + 8, top + r * kLineHeight + 2, 5000u + std::uint32_t(r), 40, 60, paper);
    }
}

// The arrow, black with a white rim, moving over the screen.
void drawPointer(Canvas& c, int index)
{
    const int x0 = 200 + sweep(index, 240, 1400);
    const int y0 = 150 + sweep(index, 170, 700);
    for (int r = 0; r < 19; ++r) {
        const int wide = std::min(r, 11);
        c.fill(x0, y0 + r, x0 + wide + 1, y0 + r + 1, 255);
        c.fill(x0 + 1, y0 + r, x0 + wide, y0 + r + 1, 0);
    }
}

} // namespace

void drawScreenFrame(int width, int height, int index, std::vector<std::uint8_t>& pixels)
{
    pixels.resize(std::size_t(width) * std::size_t(height));
    Canvas canvas{width, height, pixels.data()};
    drawDesktop(canvas, index);
    drawEditor(canvas, index);
    drawSidePanel(canvas, index);
    drawPointer(canvas, index);
}

} // namespace skarvel::bench
