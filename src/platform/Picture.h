#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <cstdint>

namespace skarvel {

// Refusals that keep a hostile or absurd file from exhausting memory. Every real animated GIF
// stays far below the defaults; the README lists them.
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
    explicit Picture(QImage image) : m_image(std::move(image)) {}

    bool isNull() const { return m_image.isNull(); }
    const QImage& image() const { return m_image; }

    int pixelWidth() const { return m_image.width(); }
    int pixelHeight() const { return m_image.height(); }
    // Extent in HIMETRIC (hundredths of a millimetre) at 96 dpi, as pictures report it.
    int Width() const;
    int Height() const;
    // Memory the pixels take.
    std::int64_t byteCount() const { return m_image.sizeInBytes(); }

private:
    QImage m_image;
};

// Decodes the first image of the GIF held in `bytes`: only what lies in front of it matters, a
// missing trailer or anything after the image is ignored. The picture has the image's own size.
// Throws RuntimeError when there is no complete image to decode or `limits` refuse it.
Picture LoadPicture(QByteArrayView bytes, const PictureLimits& limits = {});
// The same over a GIF held in two pieces, `head` followed by `tail`, without joining them. When
// `pictureBytes` is given it receives the memory the picture needs as soon as the image's size has
// passed the pixel limit, before the budget is checked, and stays -1 until then: a caller that
// decodes ahead can tell a refusal by a budget it did not know yet from any other failure.
Picture LoadPicture(QByteArrayView head, QByteArrayView tail, const PictureLimits& limits,
                    std::int64_t* pictureBytes = nullptr);
// Memory a picture of this size takes (rows are padded to four bytes).
std::int64_t PictureBytes(std::int64_t width, std::int64_t height);

// Writes `picture` as an 8-bit palettised Windows bitmap with the picture's own palette, replacing
// `path` whole or leaving it untouched. Throws RuntimeError when the file cannot be written.
void SavePicture(const Picture& picture, const QString& path);

} // namespace skarvel
