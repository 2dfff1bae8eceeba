#include "runtime/PictureBox.h"

#include "base/RuntimeError.h"
#include "runtime/RuntimeInput.h"
#include "runtime/Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace skarvel {

PictureBox::PictureBox(QWidget* parent, ScaleMode scale)
    : QWidget(parent), m_surface(scale), m_lights(*this)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.onChange = [this] { update(); };
    m_surface.sizeSource = [this] { return size() - QSize(2 * border(), 2 * border()); };
}

void PictureBox::setPlainBorder(bool border)
{
    m_border = border;
    update();
}

void PictureBox::setBackColor(OleColor color)
{
    m_surface.setBackColor(color);
}

double PictureBox::Left() const { return twips::Left(*this); }
double PictureBox::Top() const { return twips::Top(*this); }
double PictureBox::Width() const { return twips::Width(*this); }
double PictureBox::Height() const { return twips::Height(*this); }

DrawingSurface& PictureBox::ContainerSurface() const
{
    if (auto* owner = dynamic_cast<SurfaceOwner*>(parentWidget()))
        return owner->surface();
    throw RuntimeError(RuntimeError::ObjectLacksMember, "the container has no drawing surface");
}

void PictureBox::Move(double left, double top, double width, double height)
{
    twips::Move(*this, left, top, width, height);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_border) {
        painter.fillRect(rect(), Qt::black);
        painter.translate(1, 1);
    }
    painter.drawImage(0, 0, m_surface.image());
    m_lights.paint(painter);
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    m_surface.resize(size() - QSize(2 * border(), 2 * border()));
}

void PictureBox::deliver(const MouseHandler& handler, int button, const QMouseEvent& event)
{
    if (!handler)
        return;
    const QPoint at = event.position().toPoint() - QPoint(border(), border());
    handler(button, runtimeShift(event.modifiers()), m_surface.fromPixels(at.x()),
            m_surface.fromPixels(at.y()));
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    deliver(MouseDown, runtimeButtons(event->button()), *event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = event->button() == Qt::LeftButton && m_leftPressed &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    deliver(MouseUp, runtimeButtons(event->button()), *event);
    if (click && Click)
        Click();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    deliver(MouseMove, runtimeButtons(event->buttons()), *event);
}

void PictureBox::hideEvent(QHideEvent*)
{
    // A box that is not shown cannot keep the mouse to itself.
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    m_leftPressed = false;
}

} // namespace skarvel
