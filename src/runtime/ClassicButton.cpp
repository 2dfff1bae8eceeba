#include "runtime/ClassicButton.h"

#include "runtime/Colors.h"
#include "runtime/DrawEdge.h"

#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

namespace skarvel {

namespace {

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
        if (option->state & (State_Sunken | State_On))
            PaintEdge(*painter, r, edge::SunkenOuter | edge::SunkenInner);
        else
            PaintEdge(*painter, r, edge::RaisedOuter | edge::RaisedInner);
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
