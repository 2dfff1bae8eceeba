#pragma once

#include <QString>

#include <cstdint>

namespace skarvel::bench {

// What a bench GIF's frames show.
enum class Content {
    Noise,  // random pixels of 256 colours
    Smooth, // smooth moving gradients of 192 colours
    Screen, // a screen recording in 256 greys (ScreenFrames.h)
    Flat,   // a few wide bands of one colour each: files of kilobytes for frames of megabytes
};

// A large animated GIF the benchmark opens and saves.
struct BenchGif {
    const char* name;
    int frames;
    int width;
    int height;
    Content content;
    bool interlaced = false;
    int delay = 4; // hundredths of a second
    std::int64_t pixels() const { return std::int64_t(frames) * width * height; }
};

// Writes `gif` to `path` with giflib's encoder, the same bytes on every run. A frame's image data
// may hold the bytes 00 21 F9, as real files' do now and then.
void writeBenchGif(const BenchGif& gif, const QString& path);

} // namespace skarvel::bench
