#include "platform/Picture.h"

#include "platform/Units.h"

namespace skarvel {

int Picture::Width() const
{
    return int(units::pixelsToHimetric(m_image.width()));
}

int Picture::Height() const
{
    return int(units::pixelsToHimetric(m_image.height()));
}

std::int64_t PictureBytes(std::int64_t width, std::int64_t height)
{
    return ((width + 3) & ~std::int64_t(3)) * height;
}

} // namespace skarvel
