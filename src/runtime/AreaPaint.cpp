#include "runtime/AreaPaint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace skarvel {

namespace {

// The picture's pixels that fall in one surface pixel along one axis: from `first` on, each
// with the part of its width (0 to 1) that lies in the surface pixel.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

// For every surface pixel from `from` up to `to` (excluded), the span of the `count` picture
// pixels that lie in it, when the picture's `count` pixels fill [start, start + length).
std::vector<Span> spans(double start, double length, int count, int from, int to)
{
    const double perPixel = length / count; // surface pixels one picture pixel takes
    std::vector<Span> result;
    result.reserve(std::size_t(std::max(to - from, 0)));
    for (int p = from; p < to; ++p) {
        const double u0 = std::max((p - start) / perPixel, 0.0);
        const double u1 = std::min((p + 1 - start) / perPixel, double(count));
        Span span;
        span.first = int(std::floor(u0));
        for (int i = span.first; i < count && i < u1; ++i)
            span.weights.push_back(float(std::min(i + 1.0, u1) - std::max(double(i), u0)));
        result.push_back(std::move(span));
    }
    return result;
}

} // namespace

void PaintAreaAverage(QImage& surface, const QImage& picture, QRectF target)
{
    if (surface.isNull() || picture.isNull() || !(target.width() > 0) || !(target.height() > 0))
        return;
    const bool indexed = picture.format() == QImage::Format_Indexed8;
    const QImage source = indexed ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    const QList<QRgb> table = indexed ? source.colorTable() : QList<QRgb>();

    const int left = std::max(int(std::floor(target.left())), 0);
    const int top = std::max(int(std::floor(target.top())), 0);
    const int right = std::min(int(std::ceil(target.right())), surface.width());
    const int bottom = std::min(int(std::ceil(target.bottom())), surface.height());
    if (left >= right || top >= bottom)
        return;
    const std::vector<Span> across = spans(target.left(), target.width(), source.width(), left, right);
    const std::vector<Span> down = spans(target.top(), target.height(), source.height(), top, bottom);

    // Per surface pixel of the row: red, green and blue weighted by each picture pixel's
    // opacity and area, and the opaque area itself.
    std::vector<std::array<float, 4>> sums(across.size());
    for (int y = top; y < bottom; ++y) {
        std::fill(sums.begin(), sums.end(), std::array<float, 4>{});
        const Span& rows = down[std::size_t(y - top)];
        for (std::size_t r = 0; r < rows.weights.size(); ++r) {
            const uchar* line = source.constScanLine(rows.first + int(r));
            for (std::size_t x = 0; x < across.size(); ++x) {
                const Span& columns = across[x];
                std::array<float, 4>& sum = sums[x];
                for (std::size_t c = 0; c < columns.weights.size(); ++c) {
                    const int i = columns.first + int(c);
                    const QRgb rgb = indexed ? (line[i] < table.size() ? table[line[i]] : 0u)
                                             : reinterpret_cast<const QRgb*>(line)[i];
                    const float w = rows.weights[r] * columns.weights[c] * float(qAlpha(rgb)) / 255.0f;
                    sum[0] += w * float(qRed(rgb));
                    sum[1] += w * float(qGreen(rgb));
                    sum[2] += w * float(qBlue(rgb));
                    sum[3] += w;
                }
            }
        }
        auto* out = reinterpret_cast<QRgb*>(surface.scanLine(y));
        for (std::size_t x = 0; x < across.size(); ++x) {
            const std::array<float, 4>& sum = sums[x];
            if (sum[3] <= 0)
                continue;
            const auto channel = [&](int k) { return std::clamp(int(std::lround(sum[std::size_t(k)] / sum[3])), 0, 255); };
            out[left + int(x)] = qRgb(channel(0), channel(1), channel(2));
        }
    }
}

} // namespace skarvel
