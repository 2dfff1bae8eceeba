#include "frames/ComposedScreens.h"

#include "frames/SplitGifFrames.h"

#include <new>

namespace skarvel {

QRgb EmptyScreen(const FrameTable& table, FrameFormat format)
{
    return format == FrameFormat::Bmp ? ScreenBackground(table) : qRgba(0, 0, 0, 0);
}

ComposedScreens::ComposedScreens(const FrameTable& table, FrameFormat format)
    : m_table(table),
      m_composer(table.GifWidth, table.GifHeight, EmptyScreen(table, format)),
      m_pictures(table, 0, ThreadCount(kAllCores))
{
}

QImage ComposedScreens::screen(std::size_t index)
{
    while (m_next <= index) {
        const Picture picture = m_pictures.next();
        if (picture.isNull())
            throw std::bad_alloc();
        m_shown = QImage(); // drawn on in place, not copied
        m_shown = m_composer.compose(picture, PlacementOf(m_table, m_next));
        ++m_next;
    }
    return m_shown;
}

} // namespace skarvel
