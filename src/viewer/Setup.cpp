// The set-up at load: the status bar with its two icon boxes, the thumbnail strip with its
// decorations, the button faces; and the path shortening for the status bar's first panel.
#include "viewer/frmSkarvel.h"

#include "artwork/Artwork.h"
#include "base/Units.h"
#include "runtime/LightControls.h"
#include "runtime/PathEllipsis.h"
#include "runtime/PictureBox.h"
#include "runtime/RuntimeFont.h"
#include "runtime/Twips.h"

#include <QLineEdit>

namespace skarvel {

void frmSkarvel::SetupStatusBar()
{
    sbMain->Create(*this);
    const std::array<std::int16_t, 2> aParts{309, -1};
    sbMain->SetParts(2, aParts);
    sbMain->CopyObj(0, *picBarra[0]);
    twips::setWidth(*picBarra[0], 270);
    // The path box's measure is the first panel less the icon; 15 is twips per pixel of the
    // panel edge, whatever the screen.
    twips::setWidth(*txtPercorso, aParts[0] * 15 - twips::Width(*picBarra[0]));
    sbMain->CopyObj(1, *picBarra[1]);
    twips::setWidth(*picBarra[1], 210);
}

void frmSkarvel::ArrangeControls()
{
    ClearFrameLabels();

    const QCursor pointer = pointerFrom(imgCursore->Picture());
    for (PictureBox* box : {picUpDown[0], picUpDown[1], picButton[0], picButton[1], picButton[2]})
        box->setCursor(pointer);

    imgBordo[1]->setPicture(imgBordo[0]->Picture());

    PictureBox& m = *picMin;
    m.Move(m.Left(), m.Top(), 1575, 4815);
    picUpDown[0]->Move(m.Left(), picUpDown[0]->Top(), picUpDown[0]->Width(),
                       picUpDown[0]->Height());
    picUpDown[1]->Move(m.Left() + m.Width() - picUpDown[1]->Width(),
                       m.Top() - picUpDown[1]->Height() - 120, picUpDown[1]->Width(),
                       picUpDown[1]->Height());
    picUpDown[0]->Move(picUpDown[0]->Left(), m.Top() + m.Height() + picUpDown[0]->Height() - 90,
                       picUpDown[0]->Width(), picUpDown[0]->Height());
    imgBotton->setLeft(m.Left());
    imgBotton->setTop(m.Top() + m.Height());
    imgTop->setLeft(m.Left() - 15);
    imgTop->setTop(m.Top() - imgTop->Height());
    imgBordo[0]->setTop(0);
    imgBordo[1]->setTop(0);
    imgBordo[0]->setLeft(60);
    imgBordo[1]->setLeft(m.Width() - imgBordo[1]->Width() - 60);

    lblNFrame[0]->setLeft(30);
    lblNFrame[0]->setTop(390);
    for (std::size_t k = 1; k < lblNFrame.size(); ++k) {
        lblNFrame[k]->setLeft(30);
        lblNFrame[k]->setTop(lblNFrame[k - 1]->Top() + 1225);
    }

    linBordoLeft->setEnds(m.Left() - 15, m.Top(), m.Left() - 15, m.Top() + m.Height());
    const double right = m.Left() + m.Width() + 15;
    linBordoR->setEnds(right, m.Top(), right, m.Top() + m.Height());

    DrawingSurface& open = picButton[0]->surface();
    const QString caption = QStringLiteral("       Apri Gif");
    open.Font = faceFont(open, caption);
    open.CurrentY = 45;
    open.Print(caption);
    EnableSaveButton(false);
    Refresh();
}

QFont faceFont(const DrawingSurface& face, const QString& caption)
{
    // A pixel to spare on the right for the engraved copy of a disabled caption.
    const QRect room(QPoint(0, 0), face.pixelSize() - QSize(1, 0));
    return fittingFont(face.Font, caption, room, Qt::TextSingleLine);
}

QString frmSkarvel::CompactPath(const QString& sPath)
{
    // The room is a little narrower than the path box, which is the first panel less its icon.
    const int room = int(units::nearest(txtPercorso->width() * 0.92));
    return pathEllipsis(sPath, QFontMetrics(font()), room);
}

} // namespace skarvel
