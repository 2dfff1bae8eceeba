#pragma once

#include <QByteArrayView>

#include <optional>

namespace skarvel {

// Cuts a GIF held in memory at its frame separators (00 21 F9) without decoding anything.
// The header runs up to and including the "!" of the first separator; each chunk runs from
// its frame's Graphic Control Label 0xF9 up to and including the "00 21" of the next separator,
// the last one to the end of the data. Header + chunk is a frame image: a single-frame GIF.
class FrameCutter {
public:
    explicit FrameCutter(QByteArrayView data);

    // Whether a first separator was found; without one there are no chunks.
    bool hasSeparator() const { return m_firstSeparator >= 0; }
    // The header; without a separator, the first byte of the data only.
    QByteArrayView header() const { return m_header; }

    struct Chunk {
        QByteArrayView bytes;
        bool last = false;
    };
    // The next chunk, or nothing after the last one.
    std::optional<Chunk> next();

    // Cutting while the data still arrives: `soFar` is all of it that has arrived, the bytes seen
    // before and more. Until `complete`, next() answers nothing where the separator behind a chunk
    // has not arrived yet, and answers it once it has.
    void grow(QByteArrayView soFar, bool complete);
    // Whether a cutter over the first bytes of a file, `soFar`, has the header that one over the
    // whole file would have: a separator behind the screen descriptor and colour table.
    static bool knowsHeader(QByteArrayView soFar);

    // Offset of the first separator, found behind the logical screen descriptor and the global
    // colour table: a Graphic Control Extension right behind them counts whatever byte precedes
    // it, and colour bytes that happen to read 00 21 F9 do not cut the header. -1 when none.
    static qsizetype firstSeparator(QByteArrayView data);
    // Offset of the next separator at or behind `from`, or -1.
    static qsizetype findSeparator(QByteArrayView data, qsizetype from);
    // Bytes of the colour table that the packed field of a screen or image descriptor announces.
    static qsizetype colourTableBytes(char packed)
    {
        return (quint8(packed) & 0x80) ? 3 * (qsizetype(2) << (quint8(packed) & 7)) : 0;
    }

private:
    QByteArrayView m_data;
    QByteArrayView m_header;
    qsizetype m_firstSeparator = -1;
    qsizetype m_searchStart = 0;
    qsizetype m_resumeAt = 0; // where the search for the next separator goes on
    bool m_complete = true;
    bool m_done = false;
};

} // namespace skarvel
