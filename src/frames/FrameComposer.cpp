#include "frames/FrameComposer.h"

#include "base/RuntimeError.h"

#include <algorithm>
#include <new>

namespace skarvel {

namespace {

// A canvas that is shared with a screen handed out copies itself on the first write.
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

void FrameComposer::disposeOfLast()
{
    if (m_disposal == 2) {
        for (int y = m_area.top(); y <= m_area.bottom(); ++y)
            std::fill_n(row(m_canvas, y) + m_area.left(), m_area.width(), m_empty);
    } else if (m_disposal == 3 && !m_area.isEmpty()) {
        for (int y = m_area.top(); y <= m_area.bottom(); ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(m_before.constScanLine(y - m_area.top())), m_area.width(),
                        row(m_canvas, y) + m_area.left());
    }
    m_disposal = 0;
    m_before = QImage();
}

QImage FrameComposer::compose(const Picture& picture, const FramePlacement& placement)
{
    disposeOfLast();
    const QImage& image = picture.image();
    const QRect area = QRect(placement.left, placement.top, image.width(), image.height()) & m_canvas.rect();
    if (placement.disposal == 3 && !area.isEmpty()) {
        m_before = m_canvas.copy(area);
        if (m_before.isNull())
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
    m_disposal = placement.disposal;
    m_area = area;
    return m_canvas;
}

} // namespace skarvel
