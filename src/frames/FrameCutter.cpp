#include "frames/FrameCutter.h"

#include <algorithm>
#include <cstring>

namespace skarvel {

namespace {

constexpr char kSeparator[3] = {0x00, 0x21, char(0xF9)};
constexpr qsizetype kScreenDescriptorEnd = 13; // signature (6) + logical screen descriptor (7)

} // namespace

qsizetype FrameCutter::findSeparator(QByteArrayView data, qsizetype from)
{
    if (from < 0 || from >= data.size())
        return -1;
    // Look for the last byte with memchr, which scans many bytes at once, and check the two in
    // front of each hit: in compressed image data 0xF9 turns up once in 256 bytes or so, and a
    // general substring search costs several instructions per byte of a large file.
    const char* const begin = data.data();
    const char* const end = begin + data.size();
    const char* scan = begin + from + 2;
    while (scan < end) {
        const auto* hit = static_cast<const char*>(std::memchr(scan, kSeparator[2], size_t(end - scan)));
        if (!hit)
            return -1;
        if (hit[-1] == kSeparator[1] && hit[-2] == kSeparator[0])
            return hit - 2 - begin;
        scan = hit + 1;
    }
    return -1;
}

qsizetype FrameCutter::firstSeparator(QByteArrayView data)
{
    if (data.size() < kScreenDescriptorEnd)
        return findSeparator(data, 0);
    const qsizetype p = kScreenDescriptorEnd + colourTableBytes(data[10]);
    if (p > data.size())
        return findSeparator(data, 0);
    if (p + 1 < data.size() && quint8(data[p]) == 0x21 && quint8(data[p + 1]) == 0xF9)
        return p - 1;
    return findSeparator(data, p - 1);
}

FrameCutter::FrameCutter(QByteArrayView data)
    : m_data(data), m_firstSeparator(firstSeparator(data))
{
    if (m_firstSeparator < 0) {
        m_header = data.first(std::min<qsizetype>(1, data.size()));
        m_done = true;
        return;
    }
    m_header = data.first(m_firstSeparator + 2);
    m_searchStart = m_resumeAt = m_firstSeparator + 3;
}

bool FrameCutter::knowsHeader(QByteArrayView soFar)
{
    // With the bytes behind the colour table there, the first separator is searched where the
    // whole file has it searched, and once found it is the same.
    if (soFar.size() < kScreenDescriptorEnd)
        return false;
    return soFar.size() >= kScreenDescriptorEnd + colourTableBytes(soFar[10]) + 2 && firstSeparator(soFar) >= 0;
}

void FrameCutter::grow(QByteArrayView soFar, bool complete)
{
    m_data = soFar;
    m_complete = complete;
}

std::optional<FrameCutter::Chunk> FrameCutter::next()
{
    if (m_done)
        return std::nullopt;
    // The current frame's 0xF9 sits just before the search start.
    const qsizetype begin = m_searchStart - 1;
    const qsizetype separator = findSeparator(m_data, m_resumeAt); // never in front of the search start
    if (separator < 0) {
        if (!m_complete) {
            // The last two bytes may begin a separator that the next ones complete.
            m_resumeAt = std::max(m_searchStart, m_data.size() - 2);
            return std::nullopt;
        }
        m_done = true;
        return Chunk{m_data.sliced(begin), true};
    }
    m_searchStart = m_resumeAt = separator + 3;
    return Chunk{m_data.sliced(begin, separator + 2 - begin), false};
}

} // namespace skarvel
