#pragma once

#include "base/StopToken.h"
#include "files/FileIO.h"
#include "frames/FrameChoice.h"
#include "frames/ComposedScreens.h"
#include "frames/FrameComposer.h"
#include "frames/PicturesInOrder.h"
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
// takes about the longer of the two rather than both. Frames are written as pending files and
// named only by save(): a file that fails to open, or an export that is interrupted, leaves no
// frame it should not, and no partial file.
// A frame that cannot be written stops the export there and then: nothing more is decoded, and
// save() names the frames written before it.
// A `composed` export (bitmaps and PNG) saves each frame as the whole screen a viewer shows,
// composed in frame order as the pictures come, on one canvas.
class FrameExport {
public:
    // Pictures waiting for the writer at most, the one being written included: beyond it the split
    // waits, rather than hold every frame of a file whose frames decode faster than they are
    // written. A composed screen waits alone: the next is drawn on the same canvas once the
    // writer has encoded it.
    static constexpr std::int64_t kQueueBytes = std::int64_t(64) << 20;

    // Only the frames in `choice` are encoded and written, under the names a whole export gives
    // them; a composed export still composes the frames before a chosen one.
    FrameExport(const QString& sGifFile, const QString& folder, FrameFormat format, bool composed = false,
                FrameChoice choice = {});
    ~FrameExport();
    FrameExport(const FrameExport&) = delete;
    FrameExport& operator=(const FrameExport&) = delete;

    // What SplitGifFrames answers; when failed(), the split was stopped (-1 unless it had ended).
    std::int32_t split(FrameTable& table);
    // Whether writing a frame failed during the split.
    bool failed();
    // After a split that succeeded or failed(), into the same table: names the frames written and,
    // unless failed(), writes the rest. Answers whether every frame was saved.
    bool save(const FrameTable& table);
    // Why the export failed: the frame or folder and the system's error number (ENOMEM when memory
    // ran out).
    FileFailure failure();

private:
    struct Job {
        std::size_t index = 0;
        Picture picture;
        QImage screen; // composed
        QByteArray gifBytes; // keeps the bytes the parts are views of
        std::array<QByteArrayView, 3> gifParts;
        std::int64_t bytes = 0; // of the picture or screen, while the job holds it
    };
    void queue(const FrameTable& table, std::size_t index, const Picture& picture);
    bool makeJob(const FrameTable& table, Job& job, const Picture& picture);
    void writeAhead();
    void release(Job& job);
    PendingFile written(std::size_t index);
    QImage screenNotWrittenAhead(const FrameTable& table, std::size_t index);
    Picture pictureNotWrittenAhead(const FrameTable& table, std::size_t index);
    std::vector<QByteArrayView> parts(const Job& job, QByteArray& storage) const;
    bool fail(const QString& path, int error);

    QString m_gifFile;
    QString m_prefix;
    FrameFormat m_format;
    bool m_composed;
    FrameChoice m_choice;
    std::optional<FrameComposer> m_composer; // for the frames written ahead, on the splitting thread
    std::optional<std::size_t> m_composedLast; // the frame whose screen the composer shows
    std::size_t m_limit; // frames written ahead at most: each holds a descriptor until named
    bool m_ahead = true; // frames are still written ahead
    // Taking up where the writing ahead stopped, in save().
    std::optional<PicturesInOrder> m_rest;
    std::size_t m_restNext = 0;
    std::optional<ComposedScreens> m_screens;
    StopToken m_stopSplit;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    std::vector<std::size_t> m_queued; // the frames queued, in order
    std::vector<PendingFile> m_files; // written, in the same order
    std::size_t m_taken = 0; // of those, named by save()
    std::int64_t m_queuedBytes = 0; // of the pictures or screens queued or being written
    bool m_splitEnded = false;
    bool m_aheadOver = false; // no more frames are written ahead: save() writes the rest
    bool m_failed = false;
    FileFailure m_failure;
    bool m_stop = false;
    std::thread m_writer;
};

} // namespace skarvel
