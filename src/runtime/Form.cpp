#include "runtime/Form.h"

#include "runtime/Twips.h"

#include <QPainter>

namespace skarvel {

Form::Form(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_surface(ScaleMode::Twips, true), m_lights(*this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The standard widgets on the window (status bar, options, buttons) in the same colours.
    setPalette(ClassicPalette());
    m_surface.onChange = [this] { update(); };
    m_surface.sizeSource = [this] { return size(); };
}

void Form::setBackColor(OleColor color)
{
    m_backColor = color;
    m_surface.setBackColor(color);
    update();
}

void Form::setClientSize(double width, double height)
{
    setFixedSize(twips::toPixels(width), twips::toPixels(height));
}

double Form::Height() const
{
    return twips::Height(*this) + kNonClientHeightTwips;
}

void Form::setHeight(double value)
{
    setFixedSize(width(), twips::toPixels(value - kNonClientHeightTwips));
}

void Form::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), TranslateColor(m_backColor));
    m_lights.paint(painter);
    painter.drawImage(0, 0, m_surface.image());
}

void Form::resizeEvent(QResizeEvent*)
{
    m_surface.resize(size());
}

} // namespace skarvel
