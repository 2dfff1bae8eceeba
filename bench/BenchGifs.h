#pragma once

#include <QString>

#include <cstdint>

namespace skarvel::bench {

// A large animated GIF the benchmark opens and saves.
struct BenchGif {
    const char* name;
    int frames;
    int width;
    int height;
    bool noisy; // random pixels of 256 colours, else smooth moving gradients
    std::int64_t pixels() const { return std::int64_t(frames) * width * height; }
};

// Writes `gif` to `path` with giflib's encoder, the same bytes on every run. No frame's image data
// holds the bytes 00 21 F9 (such a file cannot be split; the pixels of a frame that happens to
// produce them are drawn again from the next seed).
void writeBenchGif(const BenchGif& gif, const QString& path);

} // namespace skarvel::bench
