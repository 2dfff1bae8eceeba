// The thumbnail strip in picMin: four slots, each showing one whole frame in a square box with
// an etched edge, and a label with the frame's number. VScroll holds the frame in slot 0.
#include "viewer/frmSkarvel.h"

#include "base/Units.h"
#include "runtime/DrawEdge.h"
#include "runtime/LightControls.h"
#include "runtime/PictureBox.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>

namespace skarvel {

namespace {

// Strip geometry in twips: the slot box, its left edge, and the distance from one slot's top
// to the next (the box and a gap of 165).
constexpr double kBox = 1065;
constexpr double kBoxLeft = 270;
constexpr double kSlotPitch = 1230;
constexpr std::int32_t kSlots = 4;

int edgePixel(double twipsValue)
{
    return int(units::nearest(twipsValue / units::kTwipsPerPixel));
}

// Where a picture of this extent (HIMETRIC) goes in its slot, in twips: its natural size (w0, h0),
// the size it is painted at, shrunk to fit the box keeping its shape, and its offset in the box.
struct SlotPlace {
    double w0, h0, w, h, dx, dy;
};

SlotPlace slotPlace(int himetricWidth, int himetricHeight)
{
    SlotPlace place{};
    place.w0 = double(units::nearest(himetricWidth * 1440.0 / 2540.0));
    place.h0 = double(units::nearest(himetricHeight * 1440.0 / 2540.0));
    place.w = place.w0;
    place.h = place.h0;
    if ((place.h0 > kBox || place.w0 > kBox) && place.h0 > 0) {
        const float r = float(place.w0 / place.h0);
        if (r <= 1) {
            place.w = double(units::nearest(float(kBox) * r));
            place.h = kBox;
        } else {
            place.w = kBox;
            place.h = double(units::nearest(float(kBox) / r));
        }
    }
    place.dx = double(units::nearest((kBox - place.w) / 2));
    place.dy = double(units::nearest((kBox - place.h) / 2));
    return place;
}

} // namespace

void frmSkarvel::DrawThumbnails()
{
    const std::uint64_t drawing = ++m_stripDrawings;
    const QPointer<frmSkarvel> alive(this);
    DrawingSurface& strip = picMin->surface();
    strip.Cls();

    const std::int32_t n = Frames.upperIndex();
    if (n < 0)
        return;
    if (n + 1 <= kSlots) {
        VScroll->setValue(0);
    } else {
        VScroll->setMaximum(n + 1 - kSlots);
        VScroll->setSingleStep(4);
        VScroll->setPageStep(4);
    }
    const std::int32_t first = VScroll->value();
    const std::int32_t last = first + std::min(n, kSlots - 1);
    GiveLabelsRoom(QString::number(n + 1));

    double y = 0;
    std::size_t k = 0;
    for (std::int32_t i = first; i <= last; ++i) {
        lblNFrame[k++]->setCaption(QString::number(i + 1));

        // Let the window answer between two slots: a strip of large frames takes a while.
        QCoreApplication::processEvents();
        // What ran meanwhile may have closed or destroyed the window, replaced the table, or
        // drawn the strip anew; this drawing then has nothing left to do.
        if (!alive || m_unloaded || drawing != m_stripDrawings)
            return;
        if (i < 0 || i > Frames.upperIndex())
            return;
        const FrameEntry& frame = Frames.frames[std::size_t(i)];
        const auto [w0, h0, w, h, dx, dy] = slotPlace(frame.Width(), frame.Height());
        if (!frame.rendition.isNull())
            strip.PaintPrepared(frame.rendition, kBoxLeft + dx, y + dy, w, h);
        else
            strip.PaintPicture(Frames.FramePicture(std::size_t(i)), kBoxLeft + dx, y + dy, w, h, 0, 0, w0, h0);

        // The animation stands on the colour of frame 0's top-left pixel, read from the
        // picture itself: a shrunk thumbnail blends colours the GIF does not have.
        if (const Picture picture = i == 0 ? Frames.FramePicture(0) : Picture(); !picture.isNull()) {
            const QRgb pixel = picture.image().pixel(0, 0);
            const OleColor corner =
                qAlpha(pixel) == 0 ? strip.BackColor() : ToOleColor(QColor(pixel));
            if (corner != picAnimGif->surface().BackColor())
                picAnimGif->setBackColor(corner);
        }

        DrawEdge(strip, edgePixel(kBoxLeft), edgePixel(y), edgePixel(kBox + kBoxLeft),
                 edgePixel(y + kBox), edge::Etched, edge::Rect);
        y += kSlotPitch;
        picMin->Refresh();
    }
    EnableSaveButton(true);
}

QImage frmSkarvel::ThumbnailRendition(const Picture& picture)
{
    const auto [w0, h0, w, h, dx, dy] = slotPlace(picture.Width(), picture.Height());
    // In the strip's pixels, as its PaintPicture would take them.
    const QSize size(int(units::twipsToPixels(w)), int(units::twipsToPixels(h)));
    const QRect source(0, 0, int(units::twipsToPixels(w0)), int(units::twipsToPixels(h0)));
    // A picture the slot shows at its own size is painted from itself: no smaller copy to keep.
    if (size.width() >= source.width() && size.height() >= source.height())
        return {};
    return DrawingSurface::PreparedPicture(picture, source, size);
}

void frmSkarvel::GiveLabelsRoom(const QString& widest)
{
    // The labels are narrower than a number of three digits in a readable size. Each may use
    // its slot's height on the film edge, up to a pixel before the thumbnail's edge; numbers too
    // wide to lie across there run up the film edge, all of them when the widest would, so
    // that the strip reads one way as it steps.
    for (std::size_t k = 0; k < lblNFrame.size(); ++k)
        lblNFrame[k]->Room = QRect(0, edgePixel(kSlotPitch * double(k)), edgePixel(kBoxLeft) - 1, edgePixel(kBox));
    const bool turned = !lblNFrame[0]->fitsAcross(widest);
    for (LabelControl* label : lblNFrame)
        label->Turned = turned;
}

void frmSkarvel::ClearFrameLabels()
{
    for (LabelControl* label : lblNFrame)
        label->setCaption(QString());
}

} // namespace skarvel
