#pragma once

#include "runtime/Control.h"
#include "runtime/DrawingSurface.h"
#include "runtime/LightControls.h"

#include <QWidget>

#include <functional>

namespace skarvel {

// A picture box: a window that keeps what is drawn on it (its DrawingSurface), shows its light
// controls above that, and reports the mouse the way the window code expects it.
class PictureBox : public QWidget, public Control, public SurfaceOwner {
public:
    explicit PictureBox(QWidget* parent, ScaleMode scale = ScaleMode::Twips);

    DrawingSurface& surface() override { return m_surface; }
    const DrawingSurface& surface() const { return m_surface; }
    LightControlLayer& lightControls() { return m_lights; }

    // A one-pixel frame in the window-frame colour; the drawing surface lies inside it.
    void setPlainBorder(bool border);
    void setPicture(const QImage& picture) { m_surface.setPicture(picture); }
    void setBackColor(OleColor color);
    // Repaints at once.
    void Refresh() { repaint(); }

    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    DrawingSurface& ContainerSurface() const override;
    void Move(double left, double top, double width, double height);

    // Mouse events: Button is 1 left, 2 right, 4 middle (for moves the buttons held, added
    // up), Shift 1 shift, 2 ctrl, 4 alt; X and Y in the surface's scale, from the top-left
    // corner of the drawing area, outside the box while the box holds the mouse capture.
    using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
    MouseHandler MouseDown;
    MouseHandler MouseUp;
    MouseHandler MouseMove;
    // A left press and release both over the box; after MouseUp.
    std::function<void()> Click;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int border() const { return m_border ? 1 : 0; }
    void deliver(const MouseHandler& handler, int button, const QMouseEvent& event);

    DrawingSurface m_surface;
    LightControlLayer m_lights;
    bool m_border = false;
    bool m_leftPressed = false;
};

} // namespace skarvel
