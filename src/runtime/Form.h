#pragma once

#include "runtime/Control.h"
#include "runtime/DrawingSurface.h"
#include "runtime/LightControls.h"

#include <QWidget>

namespace skarvel {

// A top-level window of fixed size with a background colour, light controls, and a drawing
// surface of its own. The surface lies above the light controls: what is drawn on the window
// (the frames around its buttons) stays visible over the shapes that the buttons stand on.
class Form : public QWidget, public SurfaceOwner {
public:
    // Twips that the caption and the fixed borders take from the window's outer height.
    static constexpr int kNonClientHeightTwips = 375;

    explicit Form(QWidget* parent = nullptr);

    DrawingSurface& surface() override { return m_surface; }
    LightControlLayer& lightControls() { return m_lights; }

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    // The client area in twips; the window cannot be resized by the user.
    void setClientSize(double width, double height);
    // The outer height in twips, caption and borders included.
    double Height() const;
    void setHeight(double value);
    void Refresh() { repaint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    DrawingSurface m_surface;
    LightControlLayer m_lights;
    OleColor m_backColor = 0x8000000Fu;
};

} // namespace skarvel
