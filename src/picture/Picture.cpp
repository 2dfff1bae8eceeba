#include "picture/Picture.h"

#include "base/Units.h"

namespace skarvel {

namespace {

// The picture's own block of bookkeeping, its pixel block's allocation and the frame table's entry,
// as measured with glibc's allocator: a picture of one pixel takes this much.
constexpr std::int64_t kFrameOverhead = 264;
// A colour table of its own: 256 entries and the list's header.
constexpr std::int64_t kColourTableBytes = 256 * 4 + 32;

} // namespace

int Picture::Width() const
{
    return int(units::pixelsToHimetric(m_image.width()));
}

int Picture::Height() const
{
    return int(units::pixelsToHimetric(m_image.height()));
}

int Picture::savedColours() const
{
    const int all = m_image.colorCount();
    if (m_fileColours < 0 || m_fileColours >= all)
        return all;
    uchar highest = 0;
    for (int row = 0; row < m_image.height(); ++row) {
        const uchar* line = m_image.constScanLine(row);
        for (int x = 0, width = m_image.width(); x < width; ++x)
            highest = std::max(highest, line[x]);
    }
    return std::min(all, std::max(m_fileColours, int(highest) + 1));
}

std::int64_t PictureBytes(std::int64_t width, std::int64_t height)
{
    return ((width + 3) & ~std::int64_t(3)) * height;
}

std::int64_t FrameCost(std::int64_t width, std::int64_t height, bool ownColourTable)
{
    return PictureBytes(width, height) + kFrameOverhead + (ownColourTable ? kColourTableBytes : 0);
}

} // namespace skarvel
