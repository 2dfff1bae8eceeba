#pragma once

#include <QString>
#include <QWidget>

#include <vector>

namespace skarvel {

// A status bar of our own: docked along the bottom of its parent's client area, full width,
// divided into parts by their right edges in pixels (-1: up to the right end), each part a
// sunken panel with a text and a tooltip. Windows placed in it are its children.
class StatusBarWindow : public QWidget {
public:
    static constexpr int kHeight = 20;
    // Room above the panels and between two neighbouring panels.
    static constexpr int kTopBorder = 2;
    static constexpr int kGap = 2;

    explicit StatusBarWindow(QWidget* parent);

    void setParts(std::vector<int> rightEdges);
    int partCount() const { return int(m_edges.size()); }
    // The part's rectangle in the bar's pixels; empty for a part that does not exist.
    QRect partRect(int part) const;
    void setPartText(int part, const QString& text);
    QString partText(int part) const;
    // The width in pixels that the part's text may take.
    int textRoom(int part) const;
    // Where and in which font the part's text is drawn. Its leading blanks keep the room they
    // take in the bar's own font (an icon placed in the part stands there); the rest of the text
    // is set a little smaller where it would not fit beside them, as the windows' captions are.
    QRect textRect(int part) const;
    QFont textFont(int part) const;
    void setPartToolTip(int part, const QString& text);
    QString partToolTip(int part) const;
    // Moves the bar to the bottom of its parent, full width.
    void dock();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Part {
        QString text;
        QString tip;
    };
    Part* part(int index);
    const Part* part(int index) const;

    std::vector<int> m_edges;
    std::vector<Part> m_parts;
};

} // namespace skarvel
