#include "frames/FrameExport.h"

#include "base/RuntimeError.h"
#include "frames/ComposedScreens.h"
#include "frames/ExportGifFrames.h"
#include "frames/FrameFile.h"
#include "frames/PathHelpers.h"
#include "frames/PicturesInOrder.h"
#include "frames/SplitGifFrames.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

namespace skarvel {

namespace {

// Half the descriptors the process may open, so that a file of thousands of frames leaves room
// for everything else; more than a few thousand ahead gains nothing.
std::size_t framesAhead()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    const rlim_t half = limit.rlim_cur == RLIM_INFINITY ? 4096 : limit.rlim_cur / 2;
    return half < 64 ? 0 : std::size_t(std::min<rlim_t>(half, 4096));
}

} // namespace

FrameExport::FrameExport(const QString& sGifFile, const QString& folder, FrameFormat format, bool composed,
                         FrameChoice choice)
    : m_gifFile(sGifFile),
      m_prefix(FramePrefix(folder, sGifFile)),
      m_format(format),
      m_composed(composed && format != FrameFormat::Gif),
      m_choice(std::move(choice)),
      m_limit(framesAhead())
{
}

FrameExport::~FrameExport()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

std::int32_t FrameExport::split(FrameTable& table)
{
    try {
        m_writer = std::thread([this] { writeAhead(); });
    } catch (const std::system_error&) {
        m_ahead = false; // no thread to be had: everything is written by save()
    }
    // Pictures go to the writer as they are made; none is kept for later.
    FrameKeeping keeping;
    keeping.pictureBytes = 0;
    const std::int32_t result = SplitGifFrames(
        m_gifFile, table, [&](std::size_t index, const Picture& picture) { queue(table, index, picture); }, keeping,
        &m_stopSplit);
    {
        const std::lock_guard lock(m_mutex);
        m_splitEnded = true;
        // Nothing of a file that did not open may be named, but for the frames written before a
        // failed one, which are whole: that failure is the one to tell.
        m_stop = result < 1 && !m_failed;
    }
    m_changed.notify_all();
    return result;
}

bool FrameExport::failed()
{
    const std::lock_guard lock(m_mutex);
    return m_failed;
}

FileFailure FrameExport::failure()
{
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void FrameExport::queue(const FrameTable& table, std::size_t index, const Picture& picture)
{
    // A frame that is not chosen costs nothing here, but a composed one is drawn on the canvas
    // for the screens after it.
    const bool chosen = m_choice.knownChosen(index);
    if (!m_ahead || (!chosen && !m_composed))
        return;
    {
        std::unique_lock lock(m_mutex);
        // A composed screen shares the canvas: the next frame is drawn on it only once the writer
        // has encoded the last.
        const std::int64_t room = m_composed ? 1 : kQueueBytes;
        m_changed.wait(lock, [&] { return m_queuedBytes < room || m_aheadOver || m_failed || m_stop; });
        if (m_aheadOver || m_failed || m_stop || (chosen && m_queued.size() >= m_limit)) {
            m_ahead = false;
            return;
        }
    }
    Job job;
    job.index = index;
    if (!makeJob(table, job, picture)) {
        m_ahead = false; // only the writing ahead stops: save() writes the rest and tells why
        return;
    }
    if (!chosen)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_queuedBytes += job.bytes;
        m_jobs.push_back(std::move(job));
        m_queued.push_back(index);
    }
    m_changed.notify_all();
}

bool FrameExport::makeJob(const FrameTable& table, Job& job, const Picture& picture)
{
    try {
        if (m_format == FrameFormat::Gif) {
            job.gifBytes = table.gifBytes;
            job.gifParts = GifFileParts(table, job.index);
        } else if (m_composed) {
            // Frames come in order: the canvas holds the screen of the one before.
            if (job.index == 0)
                m_composer.emplace(table.GifWidth, table.GifHeight, EmptyScreen(table, m_format));
            m_composedLast.reset();
            job.screen = m_composer->compose(picture, PlacementOf(table, job.index));
            m_composedLast = job.index;
        } else {
            job.picture = picture; // shared, not copied
        }
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const RuntimeError&) {
        return false;
    }
    job.bytes = job.picture.byteCount() + job.screen.sizeInBytes();
    return true;
}

void FrameExport::release(Job& job)
{
    job.picture = Picture();
    job.screen = QImage();
    {
        const std::lock_guard lock(m_mutex);
        m_queuedBytes -= std::exchange(job.bytes, 0);
    }
    m_changed.notify_all();
}

void FrameExport::writeAhead()
{
    QByteArray storage;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || !m_jobs.empty() || m_splitEnded; });
            if (m_stop || m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        const QString path = FramePath(m_prefix, job.index, m_format);
        PendingFile file;
        std::optional<FileFailure> failure;
        try {
            const std::vector<QByteArrayView> bytes = parts(job, storage);
            if (m_composed)
                release(job); // encoded: the canvas may take the next frame while these are written
            file = WritePendingFile(path, bytes);
        } catch (const RuntimeError&) {
            failure = LastFileFailure();
        } catch (const std::bad_alloc&) {
            failure = FileFailure{path, ENOMEM};
        }
        release(job);
        if (storage.capacity() > kQueueBytes / 16)
            storage = QByteArray(); // a large screen's file is not kept while the split waits
        const bool ahead = file.isValid();
        {
            const std::lock_guard lock(m_mutex);
            if (ahead) {
                m_files.push_back(std::move(file));
            } else {
                // What waits is let go at once, and a failure stops the split.
                m_jobs.clear();
                m_queuedBytes = 0;
                m_aheadOver = true;
                // A split that ended in a failure of its own has the last word.
                if (failure && !m_stop) {
                    m_failed = true;
                    m_failure = *failure;
                    m_stopSplit.requestStop();
                }
            }
        }
        m_changed.notify_all();
        if (!ahead)
            return;
    }
}

std::vector<QByteArrayView> FrameExport::parts(const Job& job, QByteArray& storage) const
{
    if (m_format == FrameFormat::Gif)
        return {job.gifParts.begin(), job.gifParts.end()};
    return m_composed ? ScreenFileParts(job.screen, m_format, storage) : PictureFileParts(job.picture, m_format, storage);
}

PendingFile FrameExport::written(std::size_t index)
{
    std::unique_lock lock(m_mutex);
    if (m_taken >= m_queued.size() || m_queued[m_taken] != index)
        return {};
    m_changed.wait(lock, [&] { return m_files.size() > m_taken || m_aheadOver; });
    return m_files.size() > m_taken ? std::move(m_files[m_taken++]) : PendingFile();
}

// Frames not written ahead are decoded again, on every core, from the first of them on; their
// screens are composed again from the first frame, but for the screen the canvas shows still.
QImage FrameExport::screenNotWrittenAhead(const FrameTable& table, std::size_t index)
{
    if (m_composer && m_composedLast == index)
        return m_composer->shown();
    m_composer.reset(); // one canvas at a time
    if (!m_screens)
        m_screens.emplace(table, m_format);
    return m_screens->screen(index);
}

Picture FrameExport::pictureNotWrittenAhead(const FrameTable& table, std::size_t index)
{
    if (!m_rest) {
        m_rest.emplace(table, index, ThreadCount(kAllCores));
        m_restNext = index;
    }
    for (; m_restNext < index; ++m_restNext)
        m_rest->next(); // not chosen
    ++m_restNext;
    return m_rest->next();
}

bool FrameExport::fail(const QString& path, int error)
{
    const std::lock_guard lock(m_mutex);
    if (!m_failed)
        m_failure = error != 0 ? FileFailure{path, error} : LastFileFailure();
    m_failed = true;
    return false;
}

bool FrameExport::save(const FrameTable& table)
{
    QByteArray storage;
    const std::size_t count = table.frames.size();
    for (std::size_t k = 0; k < count; ++k) {
        if (!m_choice.chosen(k, count))
            continue;
        const QString path = FramePath(m_prefix, k, m_format);
        PendingFile file = written(k);
        try {
            if (file.isValid()) {
                NamePendingFile(file, path);
                continue;
            }
            if (failed())
                return false; // the frames written before the failed one are named
            if (m_format == FrameFormat::Gif)
                WriteWholeFile(path, GifFileParts(table, k));
            else if (m_composed)
                WriteWholeFile(path, ScreenFileParts(screenNotWrittenAhead(table, k), m_format, storage));
            else
                WriteWholeFile(path, PictureFileParts(pictureNotWrittenAhead(table, k), m_format, storage));
        } catch (const RuntimeError&) {
            return fail(path, 0);
        } catch (const std::bad_alloc&) {
            return fail(path, ENOMEM);
        }
        if (m_format != FrameFormat::Gif && !FileExists(path))
            return fail(path, 0);
    }
    return !failed();
}

} // namespace skarvel
