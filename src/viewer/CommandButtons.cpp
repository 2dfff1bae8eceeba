// The three command buttons: picture boxes with a face of their own and a one-pixel frame on
// the window around them that shows flat, raised under the pointer, or sunken while pressed.
// A button sees the pointer leave because it holds the mouse capture while it is framed.
#include "viewer/frmSkarvel.h"

#include "runtime/LightControls.h"
#include "runtime/PictureBox.h"
#include "runtime/RuntimeInput.h"

#include <QCursor>

namespace skarvel {

namespace {

// The colour of what each button stands on: the save button on the window itself, the
// other two on the light panel.
OleColor eraseColour(std::int16_t index)
{
    return index == 1 ? 0xC0C0C0u : 0xE0E0E0u;
}

} // namespace

void frmSkarvel::connectCommandButtons()
{
    for (std::size_t i = 0; i < picButton.size(); ++i) {
        const auto index = std::int16_t(i);
        PictureBox* button = picButton[i];
        button->MouseMove = [this, index](int b, int s, double x, double y) {
            picbutton_MouseMove(index, std::int16_t(b), std::int16_t(s), float(x), float(y));
        };
        button->MouseDown = [this, index](int b, int s, double x, double y) {
            picButton_MouseDown(index, std::int16_t(b), std::int16_t(s), float(x), float(y));
        };
        button->MouseUp = [this, index](int b, int s, double x, double y) {
            picButton_MouseUp(index, std::int16_t(b), std::int16_t(s), float(x), float(y));
        };
        button->Click = [this, index] { picButton_Click(index); };
    }
}

void frmSkarvel::picbutton_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t,
                                     float X, float Y)
{
    PictureBox& B = *picButton[std::size_t(Index)];
    const OleColor c = eraseColour(Index);
    const bool inside = X >= 0 && X <= B.Width() && Y >= 0 && Y <= B.Height();

    if (Button == 0) {
        if (!inside) {
            objTriDim->Flat(B, c);
            ReleaseCapture();
            bHover = false;
        } else if (!bHover) {
            objTriDim->Rise(B);
            SetCapture(&B);
            bHover = true;
        }
    } else if (Button == 1) {
        if (inside) {
            objTriDim->Sunken(B);
            SetCapture(&B);
        } else {
            objTriDim->Flat(B, c);
            ReleaseCapture();
            bHover = false;
        }
    }
}

void frmSkarvel::picButton_MouseDown(std::int16_t Index, std::int16_t, std::int16_t, float,
                                     float)
{
    objTriDim->Sunken(*picButton[std::size_t(Index)]);
    bHover = false;
}

void frmSkarvel::picButton_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t, float,
                                   float)
{
    bAutoRepeat = false;
    picbutton_MouseMove(Index, Button, 0, 0, 0);
    bHover = false;
}

void frmSkarvel::settleCommandButtons()
{
    // Nothing the pointer did while the input was held off reached the buttons: each is given
    // the look that a move to where the pointer is now would give it.
    PictureBox* under = nullptr;
    ReleaseCapture();
    bHover = false;
    for (std::size_t i = 0; i < picButton.size(); ++i) {
        PictureBox& B = *picButton[i];
        if (!under && B.isVisible() && B.isEnabled() && B.rect().contains(B.mapFromGlobal(QCursor::pos())))
            under = &B;
        else
            objTriDim->Flat(B, eraseColour(std::int16_t(i)));
    }
    if (under) {
        objTriDim->Rise(*under);
        SetCapture(under);
        bHover = true;
    }
}

void frmSkarvel::EnableSaveButton(bool bEnable)
{
    PictureBox& save = *picButton[1];
    DrawingSurface& face = save.surface();
    const QString s = QStringLiteral("       Salva");
    face.Font = faceFont(face, s);
    if (bEnable) {
        save.setEnabled(true);
        save.setPicture(imgFloppy[1]->Picture());
        face.setForeColor(0x000000u);
        face.CurrentY = 45;
        face.Print(s);
    } else {
        save.setPicture(imgFloppy[0]->Picture());
        // Two copies, the light one a pixel right of and below the grey one: engraved.
        face.CurrentX = 15;
        face.setForeColor(0xE0E0E0u);
        face.CurrentY = 60;
        face.Print(s);
        face.setForeColor(0x808080u);
        face.CurrentY = 45;
        face.Print(s);
        save.setEnabled(false);
    }
    updateActions();
}

} // namespace skarvel
