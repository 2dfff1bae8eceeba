#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace skarvel {

// Refusals that keep a hostile or absurd file from exhausting memory. Every real animated GIF
// stays far below the defaults; docs/limits.md lists them.
struct PictureLimits {
    // One image of at most this many pixels (an 8192 x 8192 frame, 64 MiB decoded).
    static constexpr std::int64_t kMaxPixels = std::int64_t(8192) * 8192;
    // All pictures of one split together: 1 GiB.
    static constexpr std::int64_t kSplitBudgetBytes = std::int64_t(1) << 30;

    // An image over this many pixels is not a readable picture (RuntimeError::InvalidPicture).
    std::int64_t maxPixels = kMaxPixels;
    // A picture that would take more memory than this is refused as RuntimeError::OutOfMemory,
    // before anything is allocated for it.
    std::int64_t maxBytes = kSplitBudgetBytes;
};

// A decoded image: 8-bit indexed with its own colour table, the transparent index (if any)
// carrying alpha 0. Copies share the pixels; nothing changes a picture once it is loaded.
class Picture {
public:
    Picture() = default;
    // `fileColours`: how many entries of the colour table the file itself gave, when the table
    // is longer than that (a bitmap keeps those and whatever more the pixels name); -1: all.
    explicit Picture(QImage image, int fileColours = -1)
        : m_image(std::move(image)), m_fileColours(fileColours)
    {
    }

    bool isNull() const { return m_image.isNull(); }
    const QImage& image() const { return m_image; }

    int pixelWidth() const { return m_image.width(); }
    int pixelHeight() const { return m_image.height(); }
    // Extent in HIMETRIC (hundredths of a millimetre) at 96 dpi, as pictures report it.
    int Width() const;
    int Height() const;
    // Memory the pixels take.
    std::int64_t byteCount() const { return m_image.sizeInBytes(); }
    // The entries of the colour table a saved bitmap keeps: the file's own and any more that a
    // pixel names.
    int savedColours() const;

private:
    QImage m_image;
    int m_fileColours = -1;
};

// Colour tables of the pictures decoded behind one GIF header: every picture that uses the
// header's global table with the same transparent index gets the same (implicitly shared) list,
// so that small pictures do not each carry a kilobyte of colours. Safe to use from any thread.
class SharedColourTables {
public:
    // The list for `transparent` (-1 for none), made by `make` the first time it is asked for.
    template <typename Make>
    QList<QRgb> global(int transparent, Make make)
    {
        auto& entry = m_global[std::size_t(transparent + 1)];
        const std::lock_guard lock(m_mutex);
        if (!entry)
            entry = make();
        return *entry;
    }

private:
    std::mutex m_mutex;
    std::array<std::optional<QList<QRgb>>, 257> m_global;
};

// What a decode read, for a caller that hands the decoder more bytes than the image needs.
struct PictureReading {
    // The memory the picture needs, once its size has passed the pixel limit; -1 before.
    std::int64_t pictureBytes = -1;
    // Offset in the bytes read of the image's first byte, the "," of its Image Descriptor; -1
    // when the decoder did not get that far.
    qsizetype imageStart = -1;
    // How many bytes the decoder asked for: over any shorter stream it would have stopped at the
    // end of the bytes, over any stream that begins with these it comes to the same.
    qsizetype bytesNeeded = 0;
};

// Decodes the first image of the GIF held in `bytes`: only what lies in front of it matters, a
// missing trailer or anything after the image is ignored. The picture has the image's own size.
// Throws RuntimeError when there is no complete image to decode or `limits` refuse it.
Picture LoadPicture(QByteArrayView bytes, const PictureLimits& limits = {});
// The same over a GIF held in two pieces, `head` followed by `tail`, without joining them.
// `reading`, when given, tells how far the decoder read, also when it fails; its pictureBytes is
// set before the budget is checked, so that a caller that decodes ahead can tell a refusal by a
// budget it did not know yet from any other failure. A picture that uses the global table takes
// its colour list from `tables` when given.
Picture LoadPicture(QByteArrayView head, QByteArrayView tail, const PictureLimits& limits,
                    PictureReading* reading = nullptr, SharedColourTables* tables = nullptr);
// Decodes the first image of GIFs that all begin with `header`, keeping giflib's decoder from one
// to the next: a frame of a few thousand pixels would otherwise spend a tenth of its time setting
// one up. load(tail) is LoadPicture(header, tail, ...), to the byte. One per thread.
class PictureDecoder {
public:
    explicit PictureDecoder(QByteArrayView header, SharedColourTables* tables = nullptr);
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    Picture load(QByteArrayView tail, const PictureLimits& limits, PictureReading* reading = nullptr);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Memory a picture of this size takes (rows are padded to four bytes).
std::int64_t PictureBytes(std::int64_t width, std::int64_t height);
// What a picture of this size costs in memory as a frame: its pixels, its bookkeeping and, unless
// it shares the global one, its own colour table.
std::int64_t FrameCost(std::int64_t width, std::int64_t height, bool ownColourTable);

// Writes `picture` as an 8-bit palettised Windows bitmap with the picture's own palette, replacing
// `path` whole or leaving it untouched. Throws RuntimeError when the file cannot be written.
void SavePicture(const Picture& picture, const QString& path);
// The bytes SavePicture writes, in parts: `head` gets the headers and the palette, and the rows
// are views of the picture's own pixels, valid while the picture and `head` are.
std::vector<QByteArrayView> BitmapParts(const Picture& picture, QByteArray& head);

} // namespace skarvel
