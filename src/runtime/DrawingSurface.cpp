#include "runtime/DrawingSurface.h"

#include "base/Units.h"
#include "runtime/AreaPaint.h"
#include "picture/Picture.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstdlib>

namespace skarvel {

DrawingSurface::DrawingSurface(ScaleMode scale, bool layered)
    : m_scale(scale), m_layered(layered)
{
    Font.setStyleStrategy(QFont::NoAntialias);
}

int DrawingSurface::toPixels(double value) const
{
    return int(units::nearest(value / unitTwips()));
}

QRgb DrawingSurface::clearPixel() const
{
    return m_layered ? qRgba(0, 0, 0, 0) : TranslateColor(m_backColor).rgb();
}

void DrawingSurface::changed()
{
    if (onChange)
        onChange();
}

const QImage& DrawingSurface::image() const
{
    sync();
    return m_image;
}

void DrawingSurface::sync() const
{
    if (sizeSource)
        resizeImage(sizeSource());
}

void DrawingSurface::resize(QSize pixels)
{
    if (pixels == m_image.size())
        return;
    resizeImage(pixels);
    changed();
}

void DrawingSurface::resizeImage(QSize pixels) const
{
    pixels = pixels.expandedTo(QSize(0, 0));
    if (pixels == m_image.size())
        return;
    QImage grown(pixels, QImage::Format_ARGB32);
    grown.fill(clearPixel());
    if (!m_image.isNull()) {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, m_image);
    }
    m_image = std::move(grown);
}

void DrawingSurface::setBackColor(OleColor color)
{
    m_backColor = color;
    renewFace();
}

void DrawingSurface::setPicture(const QImage& picture)
{
    m_picture = picture;
    renewFace();
}

void DrawingSurface::renewFace()
{
    // A new background or picture wipes what was drawn, but unlike Cls keeps the print position.
    const double x = CurrentX;
    const double y = CurrentY;
    Cls();
    CurrentX = x;
    CurrentY = y;
}

void DrawingSurface::Cls()
{
    sync();
    m_image.fill(clearPixel());
    if (!m_picture.isNull() && !m_image.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(0, 0, m_picture);
    }
    CurrentX = 0;
    CurrentY = 0;
    changed();
}

void DrawingSurface::setPixel(int x, int y, OleColor color)
{
    sync();
    if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height())
        m_image.setPixel(x, y, TranslateColor(color).rgb());
}

void DrawingSurface::segmentPixels(int x1, int y1, int x2, int y2, OleColor color)
{
    sync();
    // Bresenham from the first point up to, not including, the last one.
    const QRgb rgb = TranslateColor(color).rgb();
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height())
            m_image.setPixel(x, y, rgb);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2, OleColor color)
{
    segmentPixels(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), color);
    CurrentX = x2;
    CurrentY = y2;
    changed();
}

void DrawingSurface::LineBox(double x1, double y1, double x2, double y2, OleColor color)
{
    int left = toPixels(x1);
    int top = toPixels(y1);
    int right = toPixels(x2);
    int bottom = toPixels(y2);
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    for (int x = left; x <= right; ++x) {
        setPixel(x, top, color);
        setPixel(x, bottom, color);
    }
    for (int y = top; y <= bottom; ++y) {
        setPixel(left, y, color);
        setPixel(right, y, color);
    }
    CurrentX = x2;
    CurrentY = y2;
    changed();
}

void DrawingSurface::PaintPicture(const Picture& picture, double x, double y,
                                  std::optional<double> width, std::optional<double> height,
                                  double sourceX, double sourceY,
                                  std::optional<double> sourceWidth,
                                  std::optional<double> sourceHeight)
{
    sync();
    if (picture.isNull() || m_image.isNull())
        return;
    const int pw = picture.pixelWidth();
    const int ph = picture.pixelHeight();
    const QRect target(toPixels(x), toPixels(y), width ? toPixels(*width) : pw,
                       height ? toPixels(*height) : ph);
    const QRect source(toPixels(sourceX), toPixels(sourceY),
                       sourceWidth ? toPixels(*sourceWidth) : pw,
                       sourceHeight ? toPixels(*sourceHeight) : ph);
    if (target.width() <= 0 || target.height() <= 0 || source.width() <= 0 ||
        source.height() <= 0)
        return;
    drawPrepared(target, PreparedPicture(picture, source, target.size()));
}

QImage DrawingSurface::PreparedPicture(const Picture& picture, QRect source, QSize size)
{
    // Converted before the cut, so that a source part beyond the picture reads as transparent.
    QImage part = picture.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source != part.rect())
        part = part.copy(source);
    // A shrunk picture is averaged, so that thin lines and fine detail do not drop out; an
    // enlarged one keeps its pixels sharp.
    if (size.width() < source.width() || size.height() < source.height())
        part = part.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return part;
}

void DrawingSurface::PaintPrepared(const QImage& prepared, double x, double y, double width, double height)
{
    sync();
    const QRect target(toPixels(x), toPixels(y), toPixels(width), toPixels(height));
    if (prepared.isNull() || m_image.isNull() || target.width() <= 0 || target.height() <= 0)
        return;
    drawPrepared(target, prepared);
}

void DrawingSurface::drawPrepared(QRect target, const QImage& part)
{
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, part);
    painter.end();
    changed();
}

void DrawingSurface::PaintPictureAveraged(const Picture& picture, double x, double y, double width,
                                          double height)
{
    sync();
    const double unit = unitTwips();
    PaintAreaAverage(m_image, picture.image(), QRectF(x / unit, y / unit, width / unit, height / unit));
    changed();
}

std::int32_t DrawingSurface::Point(double x, double y) const
{
    sync();
    const int px = toPixels(x);
    const int py = toPixels(y);
    if (px < 0 || py < 0 || px >= m_image.width() || py >= m_image.height())
        return -1;
    const QRgb rgb = m_image.pixel(px, py);
    if (qAlpha(rgb) == 0)
        return std::int32_t(ToOleColor(TranslateColor(m_backColor)));
    return std::int32_t(ToOleColor(QColor::fromRgb(rgb)));
}

void DrawingSurface::Print(const QString& text)
{
    sync();
    QFont font = Font;
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font, &m_image);
    if (!m_image.isNull()) {
        QPainter painter(&m_image);
        painter.setFont(font);
        painter.setPen(TranslateColor(m_foreColor));
        painter.drawText(QPoint(toPixels(CurrentX), toPixels(CurrentY) + metrics.ascent()), text);
    }
    CurrentX = 0;
    CurrentY += fromPixels(metrics.height());
    changed();
}

} // namespace skarvel
