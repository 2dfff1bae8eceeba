#pragma once

#include <QLabel>

#include <functional>

namespace skarvel {

// A label (text or picture) that reports a left click: press and release both over it.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> Click;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace skarvel
