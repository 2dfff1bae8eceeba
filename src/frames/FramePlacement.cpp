#include "frames/FramePlacement.h"

#include "frames/FrameCutter.h"

#include <algorithm>
#include <optional>

namespace skarvel {

namespace {

constexpr char kExtension = 0x21;
constexpr char kImage = 0x2C;
constexpr quint8 kGraphicControl = 0xF9;
constexpr qsizetype kScreenDescriptor = 13;

// The header followed by a chunk, read as one stream without joining them, as the decoder reads it.
class Stream {
public:
    Stream(QByteArrayView head, QByteArrayView tail) : m_head(head), m_tail(tail) {}

    std::optional<quint8> at(qsizetype offset) const
    {
        if (offset < m_head.size())
            return quint8(m_head[offset]);
        offset -= m_head.size();
        if (offset < m_tail.size())
            return quint8(m_tail[offset]);
        return std::nullopt;
    }
    std::optional<int> wordAt(qsizetype offset) const
    {
        const auto low = at(offset);
        const auto high = at(offset + 1);
        return low && high ? std::optional<int>(*low + *high * 256) : std::nullopt;
    }
    // Offset behind the sub-blocks that begin at `offset`, their terminator included.
    std::optional<qsizetype> skipBlocks(qsizetype offset) const
    {
        for (;;) {
            const auto size = at(offset);
            if (!size)
                return std::nullopt;
            offset += 1 + *size;
            if (*size == 0)
                return offset;
        }
    }

private:
    QByteArrayView m_head;
    QByteArrayView m_tail;
};

} // namespace

FramePlacement PlacementOf(const FrameTable& table, std::size_t index)
{
    const FrameEntry& frame = table.frames[index];
    FramePlacement placement{0, frame.FrameLeft, frame.FrameTop};
    const QByteArrayView header = table.header();
    if (header.size() < kScreenDescriptor)
        return placement;
    const Stream stream(header, table.chunk(index));
    qsizetype offset = kScreenDescriptor + FrameCutter::colourTableBytes(header[10]);
    int disposal = 0;
    for (;;) {
        const auto introducer = stream.at(offset);
        if (introducer == quint8(kImage)) {
            const auto left = stream.wordAt(offset + 1);
            const auto top = stream.wordAt(offset + 3);
            if (left && top)
                placement = FramePlacement{disposal, *left, *top};
            return placement;
        }
        const auto label = stream.at(offset + 1);
        if (introducer != quint8(kExtension) || !label)
            return placement;
        if (*label == kGraphicControl && stream.at(offset + 2) == 4) {
            if (const auto packed = stream.at(offset + 3))
                disposal = (*packed >> 2) & 7;
        }
        const auto behind = stream.skipBlocks(offset + 2);
        if (!behind)
            return placement;
        offset = *behind;
    }
}

QRgb ScreenBackground(const FrameTable& table)
{
    // The header holds the whole global table: the first frame's control lies behind it.
    const QByteArrayView header = table.header();
    if (header.size() < kScreenDescriptor)
        return qRgb(0, 0, 0);
    const qsizetype entry = kScreenDescriptor + 3 * qsizetype(quint8(header[11]));
    const qsizetype tableEnd = kScreenDescriptor + FrameCutter::colourTableBytes(header[10]);
    if (entry + 3 > std::min(tableEnd, header.size()))
        return qRgb(0, 0, 0);
    return qRgb(quint8(header[entry]), quint8(header[entry + 1]), quint8(header[entry + 2]));
}

} // namespace skarvel
