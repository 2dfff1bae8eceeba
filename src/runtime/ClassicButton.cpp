#include "runtime/ClassicButton.h"

#include "runtime/Colors.h"

#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

namespace skarvel {

namespace {

constexpr OleColor kShadow = 0x80000010u;     // button shadow
constexpr OleColor kHighlight = 0x80000014u;  // button highlight
constexpr OleColor kDarkShadow = 0x80000015u; // 3-D dark shadow
constexpr OleColor kLight = 0x80000016u;      // 3-D light

// One ring of a 3-D edge on `r`'s border: top and left in one colour, bottom and right with
// their corners in the other.
void ring(QPainter& painter, QRect r, OleColor topLeft, OleColor bottomRight)
{
    const QColor first = TranslateColor(topLeft);
    const QColor second = TranslateColor(bottomRight);
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), first);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), first);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), second);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), second);
}

// The desktop's style for everything but the button's face and edge, which are the 3-D edge
// painter's raised edge, sunken while pressed, round the flat face.
class ClassicButtonStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_PanelButtonCommand) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect r = option->rect;
        painter->fillRect(r, option->palette.button());
        if (option->state & (State_Sunken | State_On)) {
            ring(*painter, r, kShadow, kHighlight);
            ring(*painter, r.adjusted(1, 1, -1, -1), kDarkShadow, kLight);
        } else {
            ring(*painter, r, kLight, kDarkShadow);
            ring(*painter, r.adjusted(1, 1, -1, -1), kHighlight, kShadow);
        }
    }
};

} // namespace

void GiveClassicLook(QPushButton& button)
{
    button.setPalette(ClassicPalette());
    auto* style = new ClassicButtonStyle;
    // The style goes with the button.
    style->setParent(&button);
    button.setStyle(style);
}

} // namespace skarvel
