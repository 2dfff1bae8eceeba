// PNG and composed exports: every file written is decoded again and compared, pixel for pixel,
// with the frames as giflib decodes them and as a few lines here compose them.
#include "frames/FrameExport.h"
#include "frames/FramePlacement.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <memory>
#include <vector>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Frames saved by an export, and the file's screen and frames as giflib reads them: each frame's
// picture in colours (the transparent index with alpha 0), where it stands, and its disposal.
struct ExportedFrames {
    bool saved = false;
    std::vector<QImage> images;
    QSize screen;
    QRgb background = 0;
    std::vector<QImage> pictures;
    std::vector<std::pair<QPoint, int>> placing;
};

void decode(const QString& path, ExportedFrames& decoded)
{
    const std::shared_ptr<GifFileType> gif(DGifOpenFileName(QFile::encodeName(path).constData(), nullptr),
                                           [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    ASSERT_TRUE(gif && DGifSlurp(gif.get()) == GIF_OK) << "giflib cannot read the test GIF";
    const auto colour = [](const ColorMapObject* map, int index) {
        const GifColorType c = map && index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
        return qRgb(c.Red, c.Green, c.Blue);
    };
    decoded.screen = QSize(gif->SWidth, gif->SHeight);
    decoded.background = colour(gif->SColorMap, gif->SBackGroundColor);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
        GraphicsControlBlock control{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif.get(), i, &control);
        QImage& picture = decoded.pictures.emplace_back(d.Width, d.Height, QImage::Format_ARGB32);
        decoded.placing.emplace_back(QPoint(d.Left, d.Top), control.DisposalMode);
        for (int p = 0; p < d.Width * d.Height; ++p) {
            const int index = gif->SavedImages[i].RasterBits[p];
            const QRgb c = colour(d.ColorMap ? d.ColorMap : gif->SColorMap, index);
            picture.setPixel(p % d.Width, p / d.Width, index == control.TransparentColor ? c & 0x00ffffff : c);
        }
    }
}

// The screens a viewer shows, composed by Qt's painter on a canvas that starts as `empty`: the
// frames' pixels are either opaque or fully transparent, so painting one over is drawing it.
std::vector<QImage> compose(const ExportedFrames& gif, QRgb empty)
{
    QImage canvas(gif.screen, QImage::Format_ARGB32);
    canvas.fill(empty);
    std::vector<QImage> screens;
    for (std::size_t i = 0; i < gif.pictures.size(); ++i) {
        const auto& [at, disposal] = gif.placing[i];
        const QImage before = canvas.copy();
        QPainter(&canvas).drawImage(at, gif.pictures[i]);
        screens.push_back(canvas.copy());
        if (disposal == 2) {
            QPainter painter(&canvas);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(QRect(at, gif.pictures[i].size()), QColor::fromRgba(empty));
        }
        if (disposal == 3)
            canvas = before;
    }
    return screens;
}

// Every disposal, transparency, offsets, frames beyond the screen, a transparent first frame,
// local colour tables, and a background colour that no frame shows. In order: transparent
// wherever the pattern gives 0; cleared once shown; past the right and bottom edges with a table
// of its own, restored; 0, kept; restored over what 0 kept; an unknown method, kept; two more;
// wholly off the screen.
QByteArray everyDisposal()
{
    GifBuilder builder(9, 7, distinctColours(8));
    const int frames[][8] = {{0, 0, 9, 7, 1, 0, 0, 0}, {2, 1, 4, 3, 2, 2, 1, 0}, {6, 4, 5, 5, 3, 1, 2, 1}, {1, 1, 3, 3, 0, -1, 3, 0}, {4, 2, 4, 4, 3, 4, 4, 0},
                             {0, 5, 2, 2, 5, -1, 5, 0}, {5, 0, 4, 4, 2, 3, 1, 0}, {3, 3, 2, 2, 1, -1, 2, 0}, {20, 20, 2, 2, 2, -1, 0, 0}};
    for (const auto& [left, top, width, height, disposal, transparent, seed, ownTable] : frames) {
        ImageSpec spec = GifBuilder::pattern(width, height, 6, seed);
        std::tie(spec.left, spec.top, spec.control) = std::tuple(left, top, GraphicControl{disposal, 5, transparent});
        if (ownTable) {
            spec.localColours = distinctColours(16);
            spec.localColours[2] = Rgb{1, 2, 3};
        }
        builder.image(spec);
    }
    QByteArray gif = builder.build();
    gif[11] = 7; // the background colour
    return gif;
}

ExportedFrames exportFrames(const QByteArray& gif, FrameFormat format, bool composed)
{
    const ScratchDir dir;
    const QString path = dir.write(QStringLiteral("a.gif"), gif);
    FrameTable table;
    FrameExport exporter(path, dir.path(), format, composed);
    ExportedFrames out;
    out.saved = exporter.split(table) >= 1 && exporter.save(table);
    decode(path, out);
    const char* suffix = format == FrameFormat::Png ? "png" : "bmp";
    for (std::size_t i = 0; i < table.frames.size(); ++i)
        out.images.push_back(QImage::fromData(readFile(dir.file(QStringLiteral("a%1.%2").arg(i).arg(QLatin1String(suffix)))), suffix));
    return out;
}

void expectFrames(const ExportedFrames& exported, const std::vector<QImage>& expected, const std::string& what)
{
    EXPECT_TRUE(exported.saved) << what;
    ASSERT_EQ(exported.images.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(exported.images[i].convertToFormat(QImage::Format_ARGB32) == expected[i]) << what << ", frame " << i;
}

} // namespace

// Composed, every screen as a viewer shows it; plain, every frame its own picture in its own palette.
TEST(FrameExport, ComposedScreensAsAViewerShowsThemAndPlainFramesInTheirOwnPalettes)
{
    for (const std::string name : {"every disposal", "gifsicle_background", "gifsicle_optimised", "magick_interlaced", "magick_offsets", "magick_plain"}) {
        const QByteArray gif = name == "every disposal" ? everyDisposal() : readFile(QStringLiteral(SKARVEL_FIXTURES "/%1.gif").arg(QString::fromStdString(name)));
        const ExportedFrames png = exportFrames(gif, FrameFormat::Png, true);
        expectFrames(png, compose(png, 0), name + " png");
        const ExportedFrames bmp = exportFrames(gif, FrameFormat::Bmp, true);
        expectFrames(bmp, compose(bmp, bmp.background | 0xff000000), name + " bmp");
        const ExportedFrames plain = exportFrames(gif, FrameFormat::Png, false);
        expectFrames(plain, plain.pictures, name + " plain png");
        for (const QImage& image : plain.images)
            EXPECT_EQ(image.format(), QImage::Format_Indexed8) << name;
    }
}

// Frames past those written while the file opens are composed again from the first frame in the
// save, whether the writing ahead stopped part-way (75 frames for 150 descriptors) or never began.
TEST(ComposedExport, FramesNotWrittenAheadAreComposedTheSame)
{
    GifBuilder builder(6, 5, distinctColours(8));
    for (int i = 0; i < 90; ++i) {
        ImageSpec spec = GifBuilder::pattern(3, 2, 8, i);
        std::tie(spec.left, spec.top, spec.control) = std::tuple(i % 5, i % 4, GraphicControl{1 + i % 3, 5, i % 8});
        builder.image(spec);
    }
    rlimit files{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &files), 0);
    for (const rlim_t descriptors : {rlim_t(150), rlim_t(100)}) {
        const rlimit fewer{descriptors, files.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &fewer), 0);
        const ExportedFrames exported = exportFrames(builder.build(), FrameFormat::Png, true);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &files), 0);
        expectFrames(exported, compose(exported, 0), std::to_string(descriptors) + " descriptors");
    }
}

// A screen let go of before the next is asked for leaves the canvas to be drawn on in place,
// whatever the disposals: a composed export holds one canvas, not one for each screen waiting.
// One still held keeps what it showed.
TEST(ComposedExport, ScreensLetGoOfLeaveOneCanvas)
{
    FrameTable table;
    ASSERT_GE(SplitGifBytes(everyDisposal(), table), 1);
    FrameComposer composer(table.GifWidth, table.GifHeight, 0);
    const uchar* canvas = nullptr;
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        const QImage screen = composer.compose(table.FramePicture(i), PlacementOf(table, i));
        if (i == 0)
            canvas = screen.constBits();
        EXPECT_EQ(screen.constBits(), canvas) << "frame " << i;
    }
    const QImage held = composer.compose(table.FramePicture(1), PlacementOf(table, 1)); // disposal 2
    const QImage kept = held.copy();
    composer.compose(table.FramePicture(0), PlacementOf(table, 0));
    EXPECT_TRUE(held == kept);
}
