#pragma once

#include "runtime/Colors.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace skarvel {

class Picture;

// Units of a surface's drawing coordinates.
enum class ScaleMode { Twips = 1, Pixels = 3 };

// An image that keeps what is drawn on it until it is cleared, with the drawing calls the window
// code is written against. Coordinates are in the surface's scale (twips by default); colours
// are OleColor values. Every call changes pixels at once; `onChange` tells the owner to repaint.
class DrawingSurface {
public:
    // A layered surface starts transparent and clears to transparent: it lies over what its
    // owner paints beneath it instead of hiding it (the window's own surface).
    explicit DrawingSurface(ScaleMode scale = ScaleMode::Twips, bool layered = false);

    const QImage& image() const;
    QSize pixelSize() const { return image().size(); }
    // Grows or shrinks the image; what was drawn stays where it fits, new room is cleared.
    void resize(QSize pixels);
    // Where the owner's size comes from: the image follows it before every call, so that a
    // window drawn on before it is first shown keeps the drawing.
    std::function<QSize()> sizeSource;

    ScaleMode scaleMode() const { return m_scale; }
    void setScaleMode(ScaleMode scale) { m_scale = scale; }
    // Twips per unit of the current scale.
    int unitTwips() const { return m_scale == ScaleMode::Twips ? 15 : 1; }
    int toPixels(double value) const;
    double fromPixels(int pixels) const { return double(pixels) * unitTwips(); }

    OleColor BackColor() const { return m_backColor; }
    // Like the runtime, a new background colour also wipes everything drawn so far.
    void setBackColor(OleColor color);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor color) { m_foreColor = color; }
    double CurrentX = 0;
    double CurrentY = 0;
    QFont Font;

    // The picture shown under the drawing: setting it clears the surface and paints it at the
    // top-left corner at its natural size; Cls shows it again.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

    // Fills with the background colour (and the picture), CurrentX = CurrentY = 0.
    void Cls();
    // A segment from (x1, y1) to (x2, y2), its last point left out.
    void Line(double x1, double y1, double x2, double y2, OleColor color);
    // A rectangle outline with corners (x1, y1) and (x2, y2), all four edges whole.
    void LineBox(double x1, double y1, double x2, double y2, OleColor color);
    // Paints `picture` (or its source part) stretched into the destination, smoothly when it
    // shrinks; transparent pixels leave the surface as it is. Without a size the picture's own
    // pixel size is used.
    void PaintPicture(const Picture& picture, double x, double y,
                      std::optional<double> width = {}, std::optional<double> height = {},
                      double sourceX = 0, double sourceY = 0,
                      std::optional<double> sourceWidth = {},
                      std::optional<double> sourceHeight = {});
    // What PaintPicture draws of `picture`: its `source` part (in pixels), smoothly scaled to
    // `size` when that shrinks it. Made on any thread, kept, and painted later by PaintPrepared
    // into a destination of that size, it gives the very pixels PaintPicture would.
    static QImage PreparedPicture(const Picture& picture, QRect source, QSize size);
    void PaintPrepared(const QImage& prepared, double x, double y, double width, double height);
    // Paints `picture` filling the destination, whose edges may fall between pixels: every
    // pixel shows the average of the picture's opaque pixels over the part that lies in it,
    // nothing of what it held, and a pixel no opaque pixel reaches keeps what it held
    // (PaintAreaAverage). Frames painted one over the other this way, however shrunk, leave
    // nothing of a frame that a later one covers.
    void PaintPictureAveraged(const Picture& picture, double x, double y, double width, double height);
    // Colour at the point as &HBBGGRR, -1 outside the surface.
    std::int32_t Point(double x, double y) const;
    // Prints at (CurrentX, CurrentY) in ForeColor, background left as is, then moves to the
    // start of the next line.
    void Print(const QString& text);

    // Pixel-level access for the few painters that work in pixels whatever the scale.
    void setPixel(int x, int y, OleColor color);
    void segmentPixels(int x1, int y1, int x2, int y2, OleColor color);

    std::function<void()> onChange;

private:
    void drawPrepared(QRect target, const QImage& part);
    void renewFace();
    void changed();
    QRgb clearPixel() const;
    void sync() const;
    void resizeImage(QSize pixels) const;

    ScaleMode m_scale;
    bool m_layered;
    mutable QImage m_image;
    QImage m_picture;
    OleColor m_backColor = 0x8000000Fu;
    OleColor m_foreColor = kButtonText;
};

} // namespace skarvel
