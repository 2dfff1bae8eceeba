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
