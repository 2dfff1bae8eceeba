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
#include <new>
#include <optional>
#include <system_error>

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

FrameExport::FrameExport(const QString& sGifFile, const QString& folder, FrameFormat format, bool composed)
    : m_gifFile(sGifFile),
      m_prefix(FramePrefix(folder, sGifFile)),
      m_format(format),
      m_composed(composed && format != FrameFormat::Gif),
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
        m_limit = 0; // no thread to be had: everything is written by save()
    }
    // Pictures go to the writer as they are made; none is kept for later.
    FrameKeeping keeping;
    keeping.pictureBytes = 0;
    const std::int32_t result = SplitGifFrames(
        m_gifFile, table, [&](std::size_t index, const Picture& picture) { queue(table, index, picture); }, keeping);
    {
        const std::lock_guard lock(m_mutex);
        m_splitEnded = true;
        m_stop = result < 1; // nothing of a file that did not open may be named
    }
    m_changed.notify_all();
    return result;
}

void FrameExport::queue(const FrameTable& table, std::size_t index, const Picture& picture)
{
    if (index >= m_limit)
        return;
    try {
        Job job;
        job.index = index;
        if (m_format == FrameFormat::Gif) {
            job.gifBytes = table.gifBytes;
            job.gifParts = GifFileParts(table, index);
        } else if (m_composed) {
            // Frames come in order: the canvas holds the screen of the one before.
            if (index == 0)
                m_composer.emplace(table.GifWidth, table.GifHeight, EmptyScreen(table, m_format));
            job.screen = m_composer->compose(picture, PlacementOf(table, index));
        } else {
            job.picture = picture; // shared, not copied
        }
        std::unique_lock lock(m_mutex);
        const std::int64_t room = m_composed ? kScreenQueueBytes : kQueueBytes;
        m_changed.wait(lock, [&] { return m_queuedBytes < room || m_gaveUp || m_stop; });
        m_queuedBytes += job.picture.byteCount() + job.screen.sizeInBytes();
        m_jobs.push_back(std::move(job));
        ++m_queued;
    } catch (const std::bad_alloc&) {
        m_limit = 0; // only the writing ahead stops: save() writes the rest and tells why
        return;
    } catch (const RuntimeError&) {
        m_limit = 0;
        return;
    }
    m_changed.notify_all();
}

void FrameExport::writeAhead()
{
    QByteArray head;
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
        UnnamedFile file;
        try {
            file = WriteUnnamedFile(FramePath(m_prefix, job.index, m_format), parts(job, head));
        } catch (const RuntimeError&) {
        } catch (const std::bad_alloc&) {
        }
        const bool done = file.isValid();
        {
            const std::lock_guard lock(m_mutex);
            m_queuedBytes -= job.picture.byteCount() + job.screen.sizeInBytes();
            if (done)
                m_files.push_back(std::move(file));
            else
                m_gaveUp = true; // save() tells why, in its turn
        }
        m_changed.notify_all();
        if (!done)
            return;
    }
}

std::vector<QByteArrayView> FrameExport::parts(const Job& job, QByteArray& storage) const
{
    if (m_format == FrameFormat::Gif)
        return {job.gifParts.begin(), job.gifParts.end()};
    return m_composed ? ScreenFileParts(job.screen, m_format, storage) : PictureFileParts(job.picture, m_format, storage);
}

UnnamedFile FrameExport::written(std::size_t index)
{
    std::unique_lock lock(m_mutex);
    if (index >= m_queued)
        return {};
    m_changed.wait(lock, [&] { return m_files.size() > index || m_gaveUp; });
    return m_files.size() > index ? std::move(m_files[index]) : UnnamedFile();
}

bool FrameExport::save(const FrameTable& table)
{
    // Frames not written ahead are decoded again, on every core, from the first of them on; their
    // screens are composed again from the first frame.
    std::optional<PicturesInOrder> rest;
    std::optional<ComposedScreens> screens;
    QByteArray storage;
    for (std::size_t k = 0; k < table.frames.size(); ++k) {
        const QString path = FramePath(m_prefix, k, m_format);
        UnnamedFile file = written(k);
        try {
            if (file.isValid()) {
                NameUnnamedFile(file, path);
            } else if (m_format == FrameFormat::Gif) {
                WriteWholeFile(path, GifFileParts(table, k));
            } else if (m_composed) {
                if (!screens)
                    screens.emplace(table, m_format);
                WriteWholeFile(path, ScreenFileParts(screens->screen(k), m_format, storage));
            } else {
                if (!rest)
                    rest.emplace(table, k, ThreadCount(kAllCores));
                WriteWholeFile(path, PictureFileParts(rest->next(), m_format, storage));
            }
        } catch (const RuntimeError&) {
            return false;
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (m_format != FrameFormat::Gif && !FileExists(path))
            return false;
    }
    return true;
}

} // namespace skarvel
