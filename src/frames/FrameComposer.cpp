#include "frames/FrameComposer.h"

#include "base/RuntimeError.h"

#include <algorithm>
#include <new>

namespace skarvel {

namespace {

QRgb* row(QImage& canvas, int y)
{
    auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(y));
    if (!line)
        throw std::bad_alloc();
    return line;
}

} // namespace

FrameComposer::FrameComposer(int width, int height, QRgb empty) : m_empty(empty)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > PictureLimits::kMaxPixels)
        throw RuntimeError(RuntimeError::InvalidPicture, "no logical screen that can be composed");
    m_canvas = QImage(width, height, QImage::Format_ARGB32);
    if (m_canvas.isNull())
        throw std::bad_alloc();
    m_canvas.fill(empty);
}

QImage FrameComposer::compose(const Picture& picture, const FramePlacement& placement)
{
    const QImage& image = picture.image();
    const QRect area = QRect(placement.left, placement.top, image.width(), image.height()) & m_canvas.rect();
    QImage before;
    if (placement.disposal == 3 && !area.isEmpty()) {
        before = m_canvas.copy(area);
        if (before.isNull())
            throw std::bad_alloc();
    }
    if (!area.isEmpty()) {
        QList<QRgb> colours = image.colorTable();
        colours.resize(256, qRgb(0, 0, 0)); // the decoder's are whole; any index names a colour
        const QRgb* const table = colours.constData();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const uchar* source = image.constScanLine(y - placement.top) + (area.left() - placement.left);
            QRgb* target = row(m_canvas, y) + area.left();
            for (int x = 0; x < area.width(); ++x) {
                // The decoder gives every colour full alpha but the transparent index's.
                const QRgb colour = table[source[x]];
                if (qAlpha(colour) != 0)
                    target[x] = colour;
            }
        }
    }
    // A copy of its own rather than the canvas shared: whoever holds the screen (the writer, on
    // a thread of its own) would otherwise be kept apart from the next write only by a reference
    // count that Qt reads unordered. It costs what sharing did: a screen still held at the next
    // write made the canvas copy itself then.
    QImage shown = m_canvas.copy();
    if (shown.isNull())
        throw std::bad_alloc();
    if (placement.disposal == 2) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::fill_n(row(m_canvas, y) + area.left(), area.width(), m_empty);
    } else if (placement.disposal == 3 && !area.isEmpty()) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(before.constScanLine(y - area.top())), area.width(),
                        row(m_canvas, y) + area.left());
    }
    return shown;
}

} // namespace skarvel
