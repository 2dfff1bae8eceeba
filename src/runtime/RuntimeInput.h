#pragma once

#include <Qt>

class QWidget;

namespace skarvel {

// Mouse buttons as the window code counts them: 1 left, 2 right, 4 middle, added up.
int runtimeButtons(Qt::MouseButtons buttons);
// Shift 1, Ctrl 2, Alt 4, added up.
int runtimeShift(Qt::KeyboardModifiers modifiers);

// The mouse capture: while `widget` holds it, every mouse move goes to it, also from outside
// its box. Taking it takes it away from whoever held it.
void SetCapture(QWidget* widget);
void ReleaseCapture();

} // namespace skarvel
