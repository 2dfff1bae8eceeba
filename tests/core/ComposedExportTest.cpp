// PNG and composed exports: every file written is decoded again and compared, pixel for pixel,
// with the frames as giflib decodes them and as a few lines here compose them.
#include "frames/FrameExport.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// A frame as giflib decodes it, in colours: the transparent index with alpha 0.
struct Frame {
    int left, top, width, height, disposal;
    std::vector<QRgb> pixels;
};

struct Decoded {
    int width = 0;
    int height = 0;
    QRgb background = 0;
    std::vector<Frame> frames;
};

Decoded decode(const QByteArray& bytes)
{
    struct Reader {
        const QByteArray* bytes;
        qsizetype pos = 0;
    } reader{&bytes};
    const auto read = [](GifFileType* gif, GifByteType* out, int length) {
        auto* r = static_cast<Reader*>(gif->UserData);
        const int n = int(std::min<qsizetype>(length, r->bytes->size() - r->pos));
        std::memcpy(out, r->bytes->constData() + r->pos, size_t(n));
        r->pos += n;
        return n;
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read, &error);
    Decoded decoded;
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read the test GIF";
        DGifCloseFile(gif, &error);
        return decoded;
    }
    decoded.width = gif->SWidth;
    decoded.height = gif->SHeight;
    const auto colour = [](const ColorMapObject* map, int index) {
        return map && index < map->ColorCount ? qRgb(map->Colors[index].Red, map->Colors[index].Green, map->Colors[index].Blue)
                                              : qRgb(0, 0, 0);
    };
    decoded.background = colour(gif->SColorMap, gif->SBackGroundColor);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        if (DGifSavedExtensionToGCB(gif, i, &control) != GIF_OK)
            control = GraphicsControlBlock{0, false, 0, NO_TRANSPARENT_COLOR};
        const GifImageDesc& d = image.ImageDesc;
        Frame frame{d.Left, d.Top, d.Width, d.Height, control.DisposalMode, {}};
        for (int p = 0; p < d.Width * d.Height; ++p) {
            const int index = image.RasterBits[p];
            const QRgb c = colour(d.ColorMap ? d.ColorMap : gif->SColorMap, index);
            frame.pixels.push_back(index == control.TransparentColor ? c & 0x00ffffff : c);
        }
        decoded.frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

// The screens a viewer shows, composed by the GIF's rules on a canvas that starts as `empty`.
std::vector<QImage> compose(const Decoded& gif, QRgb empty)
{
    QImage canvas(gif.width, gif.height, QImage::Format_ARGB32);
    canvas.fill(empty);
    std::vector<QImage> screens;
    for (const Frame& f : gif.frames) {
        const QImage before = canvas.copy();
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const QRgb c = f.pixels[std::size_t(y * f.width + x)];
                if (qAlpha(c) != 0 && canvas.valid(f.left + x, f.top + y))
                    canvas.setPixel(f.left + x, f.top + y, c);
            }
        screens.push_back(canvas.copy());
        if (f.disposal == 2)
            for (int y = f.top; y < f.top + f.height; ++y)
                for (int x = f.left; x < f.left + f.width; ++x)
                    if (canvas.valid(x, y))
                        canvas.setPixel(x, y, empty);
        if (f.disposal == 3)
            canvas = before;
    }
    return screens;
}

QImage ownPicture(const Frame& f)
{
    QImage image(f.width, f.height, QImage::Format_ARGB32);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            image.setPixel(x, y, f.pixels[std::size_t(y * f.width + x)]);
    return image;
}

// Every disposal, transparency, offsets, frames beyond the screen, a transparent first frame,
// local colour tables, and a background colour that no frame shows.
QByteArray everyDisposal()
{
    GifBuilder builder(9, 7, distinctColours(8));
    const auto frame = [&](int left, int top, int width, int height, int disposal, int transparent, int seed) {
        ImageSpec spec = GifBuilder::pattern(width, height, 6, seed);
        std::tie(spec.left, spec.top, spec.control) = std::tuple(left, top, GraphicControl{disposal, 5, transparent});
        return spec;
    };
    builder.image(frame(0, 0, 9, 7, 1, 0, 0));       // transparent wherever the pattern gives 0
    builder.image(frame(2, 1, 4, 3, 2, 2, 1));       // cleared once shown
    ImageSpec past = frame(6, 4, 5, 5, 3, 1, 2);     // past the right and bottom edges, restored
    past.localColours = distinctColours(16);
    past.localColours[2] = Rgb{1, 2, 3};
    builder.image(past);
    builder.image(frame(1, 1, 3, 3, 0, -1, 3));      // 0: kept
    builder.image(frame(4, 2, 4, 4, 3, 4, 4));       // restored, over what 0 kept
    builder.image(frame(0, 5, 2, 2, 5, -1, 5));      // an unknown method: kept
    builder.image(frame(5, 0, 4, 4, 2, 3, 1));
    builder.image(frame(3, 3, 2, 2, 1, -1, 2));
    builder.image(frame(20, 20, 2, 2, 2, -1, 0));    // wholly off the screen
    QByteArray gif = builder.build();
    gif[11] = 7; // the background colour
    return gif;
}

struct ExportedFrames {
    bool saved = false;
    std::vector<QImage> images;
};

ExportedFrames exportFrames(const QByteArray& gif, FrameFormat format, bool composed)
{
    const ScratchDir dir;
    const QString path = dir.write(QStringLiteral("a.gif"), gif);
    FrameTable table;
    FrameExport exporter(path, dir.path(), format, composed);
    ExportedFrames out;
    out.saved = exporter.split(table) >= 1 && exporter.save(table);
    const char* suffix = format == FrameFormat::Png ? "png" : "bmp";
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        const QByteArray bytes = readFile(dir.file(QStringLiteral("a%1.%2").arg(i).arg(QLatin1String(suffix))));
        out.images.push_back(QImage::fromData(bytes, suffix));
    }
    return out;
}

void expectSame(const QImage& actual, const QImage& expected, const std::string& what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y), expected.pixel(x, y)) << what << " at " << x << "," << y;
}

std::vector<std::pair<std::string, QByteArray>> gifs()
{
    std::vector<std::pair<std::string, QByteArray>> all{{"every disposal", everyDisposal()}};
    for (const char* name : {"gifsicle_background", "gifsicle_optimised", "magick_interlaced", "magick_offsets", "magick_plain"})
        all.emplace_back(name, readFile(QStringLiteral(SKARVEL_FIXTURES "/%1.gif").arg(QLatin1String(name))));
    return all;
}

// The process may open at most `files` descriptors while it lives: fewer frames are written
// ahead, and the save takes up the rest.
struct FileLimit {
    rlimit saved{};
    explicit FileLimit(rlim_t files)
    {
        getrlimit(RLIMIT_NOFILE, &saved);
        rlimit lower = saved;
        lower.rlim_cur = files;
        setrlimit(RLIMIT_NOFILE, &lower);
    }
    ~FileLimit() { setrlimit(RLIMIT_NOFILE, &saved); }
};

} // namespace

TEST(ComposedExport, EveryScreenAsAViewerShowsIt)
{
    for (const auto& [name, gif] : gifs()) {
        const Decoded decoded = decode(gif);
        const std::vector<QImage> clear = compose(decoded, qRgba(0, 0, 0, 0));
        const std::vector<QImage> filled = compose(decoded, decoded.background | 0xff000000);
        for (const FrameFormat format : {FrameFormat::Png, FrameFormat::Bmp}) {
            const ExportedFrames exported = exportFrames(gif, format, true);
            EXPECT_TRUE(exported.saved) << name;
            ASSERT_EQ(exported.images.size(), decoded.frames.size()) << name;
            for (std::size_t i = 0; i < exported.images.size(); ++i)
                expectSame(exported.images[i], (format == FrameFormat::Png ? clear : filled)[i],
                           name + (format == FrameFormat::Png ? " png " : " bmp ") + std::to_string(i));
        }
    }
}

TEST(PngExport, EveryFrameIsItsOwnPictureInItsOwnPalette)
{
    for (const auto& [name, gif] : gifs()) {
        const Decoded decoded = decode(gif);
        const ExportedFrames exported = exportFrames(gif, FrameFormat::Png, false);
        EXPECT_TRUE(exported.saved) << name;
        ASSERT_EQ(exported.images.size(), decoded.frames.size()) << name;
        for (std::size_t i = 0; i < exported.images.size(); ++i) {
            EXPECT_EQ(exported.images[i].format(), QImage::Format_Indexed8) << name << " " << i;
            expectSame(exported.images[i], ownPicture(decoded.frames[i]), name + " " + std::to_string(i));
        }
    }
}

// Frames past those written while the file opens are composed again from the first frame in the
// save, whether the writing ahead stopped part-way or never began.
TEST(ComposedExport, FramesNotWrittenAheadAreComposedTheSame)
{
    GifBuilder builder(6, 5, distinctColours(8));
    for (int i = 0; i < 90; ++i) {
        ImageSpec spec = GifBuilder::pattern(3, 2, 8, i);
        std::tie(spec.left, spec.top, spec.control) = std::tuple(i % 5, i % 4, GraphicControl{1 + i % 3, 5, i % 8});
        builder.image(spec);
    }
    const QByteArray gif = builder.build();
    const std::vector<QImage> expected = compose(decode(gif), 0);
    for (const rlim_t files : {rlim_t(150), rlim_t(100)}) {
        ExportedFrames exported;
        {
            const FileLimit limit(files);
            exported = exportFrames(gif, FrameFormat::Png, true);
        }
        EXPECT_TRUE(exported.saved);
        ASSERT_EQ(exported.images.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            expectSame(exported.images[i], expected[i], std::to_string(files) + " files, frame " + std::to_string(i));
    }
}
