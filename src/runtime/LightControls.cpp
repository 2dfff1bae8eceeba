#include "runtime/LightControls.h"

#include "runtime/RuntimeFont.h"
#include "runtime/Twips.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <QWidget>

namespace skarvel {

void LightControl::setVisible(bool visible)
{
    m_visible = visible;
    changed();
}

void LightControl::changed()
{
    m_container.update();
}

double BoxControl::Left() const { return m_left; }
double BoxControl::Top() const { return m_top; }
double BoxControl::Width() const { return m_width; }
double BoxControl::Height() const { return m_height; }

QRect BoxControl::pixelRect() const
{
    return twips::rect(m_left, m_top, m_width, m_height);
}

void BoxControl::setLeft(double value)
{
    m_left = value;
    changed();
}

void BoxControl::setTop(double value)
{
    m_top = value;
    changed();
}

void BoxControl::setWidth(double value)
{
    m_width = value;
    changed();
}

void BoxControl::setHeight(double value)
{
    m_height = value;
    changed();
}

void BoxControl::Move(double left, double top, double width, double height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    changed();
}

void LabelControl::setCaption(const QString& caption)
{
    m_caption = caption;
    changed();
}

QString LabelControl::shownCaption() const
{
    // A caption breaks lines at "\r\n"; the painter breaks at the "\n" alone.
    QString shown = m_caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

int LabelControl::flags() const
{
    return int(Alignment | Qt::AlignTop | Qt::TextWordWrap);
}

QFont LabelControl::shownFont() const
{
    return Room.isEmpty() ? fittingFont(Font, shownCaption(), pixelRect(), flags()) : Font;
}

namespace {

// A pixel of the label's own colour on either side of the text, between it and what it lies on.
constexpr int kLineMargin = 1;

int lineLength(const QFont& font, const QString& text)
{
    return QFontMetrics(font).horizontalAdvance(text) + 2 * kLineMargin;
}

} // namespace

bool LabelControl::fitsAcross(const QString& text) const
{
    return lineLength(Font, text) <= Room.width();
}

QRect LabelControl::lineRect() const
{
    const QSize across(lineLength(Font, shownCaption()), QFontMetrics(Font).height());
    QRect line(QPoint(0, 0), Turned ? across.transposed() : across);
    line.moveCenter(pixelRect().center());
    // Within the room where it can be; a line longer than the room keeps to its start.
    line.moveRight(std::min(line.right(), Room.right()));
    line.moveLeft(std::max(line.left(), Room.left()));
    line.moveBottom(std::min(line.bottom(), Room.bottom()));
    line.moveTop(std::max(line.top(), Room.top()));
    return line;
}

void LabelControl::paint(QPainter& painter) const
{
    const QRect box = pixelRect();
    if (Opaque)
        painter.fillRect(box, TranslateColor(BackColor));
    painter.setFont(shownFont());
    painter.setPen(TranslateColor(ForeColor));
    if (Room.isEmpty()) {
        painter.drawText(box, flags(), shownCaption());
        return;
    }
    const QRect line = lineRect();
    if (Opaque)
        painter.fillRect(line, TranslateColor(BackColor));
    painter.setClipRect(Room);
    if (Turned) {
        // Reading upwards: the line's start at the bottom.
        painter.translate(line.left(), line.bottom() + 1);
        painter.rotate(-90);
        painter.drawText(QRect(0, 0, line.height(), line.width()), Qt::AlignCenter, shownCaption());
    } else {
        painter.drawText(line, Qt::AlignCenter, shownCaption());
    }
}

void ImageControl::setPicture(const QImage& picture)
{
    m_picture = picture;
    if (!picture.isNull())
        Move(Left(), Top(), twips::fromPixels(picture.width()),
             twips::fromPixels(picture.height()));
    changed();
}

void ImageControl::paint(QPainter& painter) const
{
    if (!m_picture.isNull())
        painter.drawImage(pixelRect().topLeft(), m_picture);
}

void ShapeControl::paint(QPainter& painter) const
{
    const QRect box = pixelRect();
    if (box.isEmpty())
        return;
    if (Filled)
        painter.fillRect(box, TranslateColor(FillColor));
    if (Bordered) {
        const QColor border = TranslateColor(BorderColor);
        painter.fillRect(QRect(box.left(), box.top(), box.width(), 1), border);
        painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), border);
        painter.fillRect(QRect(box.left(), box.top(), 1, box.height()), border);
        painter.fillRect(QRect(box.right(), box.top(), 1, box.height()), border);
    }
}

void LineControl::setEnds(double x1, double y1, double x2, double y2)
{
    X1 = x1;
    Y1 = y1;
    X2 = x2;
    Y2 = y2;
    changed();
}

void LineControl::paint(QPainter& painter) const
{
    // Straight lines only are used; a slanted one is drawn by the painter, end point included.
    const QPoint a(twips::toPixels(X1), twips::toPixels(Y1));
    const QPoint b(twips::toPixels(X2), twips::toPixels(Y2));
    const QColor colour = TranslateColor(BorderColor);
    if (a.x() == b.x() && a.y() != b.y()) {
        const int step = a.y() < b.y() ? 1 : -1;
        const QPoint last(b.x(), b.y() - step);
        painter.fillRect(QRect(a, last).normalized(), colour);
    } else if (a.y() == b.y() && a.x() != b.x()) {
        const int step = a.x() < b.x() ? 1 : -1;
        const QPoint last(b.x() - step, b.y());
        painter.fillRect(QRect(a, last).normalized(), colour);
    } else if (a != b) {
        painter.setPen(colour);
        painter.drawLine(a, b);
    }
}

void LightControlLayer::paint(QPainter& painter) const
{
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        if ((*it)->Visible()) {
            painter.save();
            (*it)->paint(painter);
            painter.restore();
        }
    }
}

} // namespace skarvel
