#include "runtime/StatusBarWindow.h"

#include "runtime/RuntimeFont.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace skarvel {

StatusBarWindow::StatusBarWindow(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    m_edges = {-1};
    m_parts.resize(1);
    dock();
}

void StatusBarWindow::dock()
{
    if (QWidget* parent = parentWidget())
        setGeometry(0, parent->height() - kHeight, parent->width(), kHeight);
}

void StatusBarWindow::setParts(std::vector<int> rightEdges)
{
    m_edges = std::move(rightEdges);
    m_parts.resize(m_edges.size());
    update();
}

QRect StatusBarWindow::partRect(int index) const
{
    if (index < 0 || index >= partCount())
        return {};
    const int left = index == 0 ? 0 : partRect(index - 1).right() + 1 + kGap;
    int right = m_edges[std::size_t(index)];
    if (right < 0 || right > width())
        right = width();
    return QRect(QPoint(left, kTopBorder), QPoint(std::max(left, right) - 1, kHeight - 1));
}

StatusBarWindow::Part* StatusBarWindow::part(int index)
{
    return index >= 0 && index < partCount() ? &m_parts[std::size_t(index)] : nullptr;
}

const StatusBarWindow::Part* StatusBarWindow::part(int index) const
{
    return index >= 0 && index < partCount() ? &m_parts[std::size_t(index)] : nullptr;
}

void StatusBarWindow::setPartText(int index, const QString& text)
{
    if (Part* p = part(index)) {
        p->text = text;
        update(partRect(index));
    }
}

namespace {

// The text stands this far inside its panel's edges.
constexpr QMargins kTextMargins(3, 1, 2, 1);

} // namespace

int StatusBarWindow::textRoom(int index) const
{
    return std::max(0, partRect(index).marginsRemoved(kTextMargins).width());
}

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

qsizetype leadingBlanks(const QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && text.at(n) == u' ')
        ++n;
    return n;
}

} // namespace

QRect StatusBarWindow::textRect(int index) const
{
    QRect room = partRect(index).marginsRemoved(kTextMargins);
    const QString text = partText(index);
    room.setLeft(room.left() + fontMetrics().horizontalAdvance(text.left(leadingBlanks(text))));
    return room;
}

QFont StatusBarWindow::textFont(int index) const
{
    const QString text = partText(index);
    const QRect room = textRect(index);
    return fittingFont(font(), text.mid(leadingBlanks(text)), QRect(QPoint(0, 0), room.size()), kTextFlags);
}

QString StatusBarWindow::partText(int index) const
{
    const Part* p = part(index);
    return p ? p->text : QString();
}

void StatusBarWindow::setPartToolTip(int index, const QString& text)
{
    if (Part* p = part(index))
        p->tip = text;
}

QString StatusBarWindow::partToolTip(int index) const
{
    const Part* p = part(index);
    return p ? p->tip : QString();
}

void StatusBarWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    for (int i = 0; i < partCount(); ++i) {
        const QRect r = partRect(i);
        if (r.isEmpty())
            continue;
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.setPen(pal.color(QPalette::ButtonText));
        const QString& text = m_parts[std::size_t(i)].text;
        painter.setFont(textFont(i));
        painter.drawText(textRect(i), kTextFlags, text.mid(leadingBlanks(text)));
    }
}

bool StatusBarWindow::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (int i = 0; i < partCount(); ++i) {
            if (partRect(i).contains(help->pos()) && !partToolTip(i).isEmpty()) {
                QToolTip::showText(help->globalPos(), partToolTip(i), this, partRect(i));
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

} // namespace skarvel
