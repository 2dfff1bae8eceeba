#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

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
    std::vector<std::uint8_t> pixels = {};  // width * height colour indexes, rows top to bottom
    std::vector<Rgb> localColours = {};     // empty: none, the global table serves
    bool interlaced = false;
    std::optional<GraphicControl> control = GraphicControl{};
    bool commentBeforeImage = false;   // a comment extension between the control and the image
};

// Writes real GIF files with giflib's encoder. A table of fewer than two or a non-power-of-two
// number of colours is padded with black.
struct GifBuilder {
    int width;
    int height;
    std::vector<Rgb> colours;
    bool loop = false;                  // a NETSCAPE2.0 application extension in front of the images
    std::vector<ImageSpec> images = {};

    GifBuilder& image(const ImageSpec& spec) { images.push_back(spec); return *this; }
    // `count` images filling the screen, each a pattern of its own in all the colours.
    GifBuilder& patterns(int count)
    {
        for (int i = 0; i < count; ++i)
            image(pattern(width, height, int(colours.size()), i));
        return *this;
    }
    QByteArray build() const;                    // with the trailer

    // A solid image of `colour` (an index) filling `width` x `height`.
    static ImageSpec solid(int width, int height, std::uint8_t colour)
    {
        return ImageSpec{.width = width, .height = height, .pixels = std::vector<std::uint8_t>(std::size_t(width) * height, colour)};
    }
    // An image whose pixel (x, y) is (x + 3 * y + seed) % colours.
    static ImageSpec pattern(int width, int height, int colours, int seed = 0)
    {
        ImageSpec spec = solid(width, height, 0);
        for (std::size_t p = 0; p < spec.pixels.size(); ++p)
            spec.pixels[p] = std::uint8_t((int(p) % width + 3 * (int(p) / width) + seed) % colours);
        return spec;
    }
};

// A palette of `count` distinct colours whose last byte is not 0.
inline std::vector<Rgb> distinctColours(int count)
{
    std::vector<Rgb> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(Rgb{std::uint8_t(10 + i * 37), std::uint8_t(200 - i * 13), std::uint8_t(1 + i * 5)});
    return colours;
}

} // namespace skarvel::test
