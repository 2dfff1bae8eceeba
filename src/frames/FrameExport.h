#pragma once

#include "files/FileIO.h"
#include "frames/FrameComposer.h"
#include "frames/SaveFrames.h"
#include "picture/Picture.h"

#include <QString>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace skarvel {

// Exporting a GIF file's frames into a folder: SplitGifFrames, then SaveFrames, with their results
// and failures, but with each frame written while later ones still decode, so that the export
// takes about the longer of the two rather than both. Frames are written as unnamed files and
// named only by save(): a file that fails to open, an export that stops at a failure or that is
// interrupted leaves no frame it should not, and no partial file.
// A `composed` export (bitmaps and PNG) saves each frame as the whole screen a viewer shows,
// composed in frame order as the pictures come, on one canvas.
class FrameExport {
public:
    // Pictures waiting for the writer at most: beyond it the split waits, rather than hold every
    // frame of a file whose frames decode faster than they are written.
    static constexpr std::int64_t kQueueBytes = std::int64_t(64) << 20;
    // Composed screens waiting at most: each is the whole screen at 4 bytes a pixel, and the
    // writer, which encodes them, is the slower side anyway.
    static constexpr std::int64_t kScreenQueueBytes = std::int64_t(16) << 20;

    FrameExport(const QString& sGifFile, const QString& folder, FrameFormat format, bool composed = false);
    ~FrameExport();
    FrameExport(const FrameExport&) = delete;
    FrameExport& operator=(const FrameExport&) = delete;

    std::int32_t split(FrameTable& table);
    // After a successful split, into the same table.
    bool save(const FrameTable& table);

private:
    struct Job {
        std::size_t index = 0;
        Picture picture;
        QImage screen; // composed
        QByteArray gifBytes; // keeps the bytes the parts are views of
        std::array<QByteArrayView, 3> gifParts;
    };
    void queue(const FrameTable& table, std::size_t index, const Picture& picture);
    void writeAhead();
    UnnamedFile written(std::size_t index);
    std::vector<QByteArrayView> parts(const Job& job, QByteArray& storage) const;

    QString m_gifFile;
    QString m_prefix;
    FrameFormat m_format;
    bool m_composed;
    std::optional<FrameComposer> m_composer; // on the splitting thread, for the frames written ahead
    std::size_t m_limit; // frames written ahead at most: each holds a descriptor until named

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    std::vector<UnnamedFile> m_files; // frame k's is m_files[k]
    std::size_t m_queued = 0;
    std::int64_t m_queuedBytes = 0; // of the pictures waiting to be written
    bool m_splitEnded = false;
    bool m_gaveUp = false; // a frame could not be written ahead: save() writes it and the rest
    bool m_stop = false;
    std::thread m_writer;
};

} // namespace skarvel
