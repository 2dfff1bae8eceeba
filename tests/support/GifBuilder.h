#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

struct GifFileType;

namespace skarvel::test {

using Rgb = std::array<std::uint8_t, 3>;

struct GraphicControl {
    int disposal = 1;       // 0 none, 1 keep, 2 background, 3 previous
    int delay = 10;         // hundredths of a second
    int transparent = -1;   // colour index, -1 for none
    bool userInput = false;
};

struct ImageSpec {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height colour indexes, rows top to bottom
    std::vector<Rgb> localColours;     // empty: none, the global table serves
    bool interlaced = false;
    std::optional<GraphicControl> control = GraphicControl{};
    bool commentBeforeImage = false;   // a comment extension between the control and the image
};

// Writes real GIF files with giflib's encoder.
class GifBuilder {
public:
    // A table of fewer than two or a non-power-of-two number of colours is padded with black.
    GifBuilder(int width, int height, std::vector<Rgb> globalColours)
        : m_width(width), m_height(height), m_colours(std::move(globalColours)) {}

    GifBuilder& loopExtension();                 // NETSCAPE2.0 application extension
    GifBuilder& image(const ImageSpec& spec);
    QByteArray build() const;                    // with the trailer

    // A solid image of `colour` (an index) filling `width` x `height`.
    static ImageSpec solid(int width, int height, std::uint8_t colour)
    {
        ImageSpec spec;
        std::tie(spec.width, spec.height) = std::pair(width, height);
        spec.pixels.assign(std::size_t(width) * height, colour);
        return spec;
    }
    // An image whose pixel (x, y) is (x + 3 * y + seed) % colours.
    static ImageSpec pattern(int width, int height, int colours, int seed = 0);

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_colours;
    std::vector<std::function<void(GifFileType*)>> m_items; // each writes its blocks
};

// A Graphic Control Extension with no image behind it, and the trailer.
inline const QByteArray kDanglingControl("\x21\xF9\x04\x04\x0A\x00\x00\x00;", 9);

// A palette of `count` distinct colours whose last byte is not 0.
std::vector<Rgb> distinctColours(int count);

} // namespace skarvel::test
