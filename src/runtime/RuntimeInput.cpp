#include "runtime/RuntimeInput.h"

#include <QWidget>

namespace skarvel {

int runtimeButtons(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int runtimeShift(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

void SetCapture(QWidget* widget)
{
    if (widget && QWidget::mouseGrabber() != widget && widget->isVisible())
        widget->grabMouse();
}

void ReleaseCapture()
{
    if (QWidget* holder = QWidget::mouseGrabber())
        holder->releaseMouse();
}

} // namespace skarvel
