#pragma once

class QPushButton;

namespace skarvel {

// Gives a push button the classic look the windows were designed with, whatever the desktop's
// style: a flat face in the button-face grey inside the raised 3-D edge of the window's own
// edge painter (3-D light, then highlight, above and left; dark shadow, then shadow, below and
// right), sunken while it is pressed, and the classic colours for its caption. The style's own face, a gradient in most themes, is not
// drawn.
void GiveClassicLook(QPushButton& button);

} // namespace skarvel
