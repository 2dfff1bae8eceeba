#pragma once

#include "runtime/Colors.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QWidget;

namespace skarvel {

// Controls without a window of their own (labels, images, shapes, lines): their container
// paints them over its drawing surface and under its child widgets.
class LightControl {
public:
    explicit LightControl(QWidget& container) : m_container(container) {}
    virtual ~LightControl() = default;
    LightControl(const LightControl&) = delete;
    LightControl& operator=(const LightControl&) = delete;

    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    virtual void paint(QPainter& painter) const = 0;

protected:
    void changed();

private:
    QWidget& m_container;
    bool m_visible = true;
};

// A light control that occupies a box; geometry in twips of the container.
class BoxControl : public LightControl {
public:
    using LightControl::LightControl;
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double value);
    void setTop(double value);
    void setWidth(double value);
    void setHeight(double value);
    void Move(double left, double top, double width, double height);
    // The box on the container, each value rounded to the nearest pixel.
    QRect pixelRect() const;

private:
    // Kept in twips: a light control stands where it was put, to the twip.
    double m_left = 0, m_top = 0, m_width = 0, m_height = 0;
};

class LabelControl : public BoxControl {
public:
    using BoxControl::BoxControl;
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    OleColor BackColor = 0x8000000Fu;
    OleColor ForeColor = kButtonText;
    bool Opaque = true;
    Qt::Alignment Alignment = Qt::AlignLeft;
    QFont Font;
    // Where the caption may go beyond the box, in pixels of the container. Without room the
    // font is made smaller until the caption fits the box. With room the caption keeps its font
    // and its line is centred on the box, moved as far as needed to stay within the room; a
    // caption turned runs up its line, as on a book's spine, for numbers too wide to lie across.
    QRect Room;
    bool Turned = false;
    // Whether `text` in the label's font lies across the room.
    bool fitsAcross(const QString& text) const;
    // Font made smaller where the caption would not fit the box in it.
    QFont shownFont() const;
    // The part of the container the caption's line takes, turned or not (with room).
    QRect lineRect() const;
    void paint(QPainter& painter) const override;

private:
    QString shownCaption() const;
    int flags() const;
    QString m_caption;
};

// An image at its natural size: setting the picture sizes the control to it.
class ImageControl : public BoxControl {
public:
    using BoxControl::BoxControl;
    const QImage& Picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    void paint(QPainter& painter) const override;

private:
    QImage m_picture;
};

// A rectangle with an optional one-pixel border inside its box and an optional solid inside.
class ShapeControl : public BoxControl {
public:
    using BoxControl::BoxControl;
    bool Bordered = true;
    OleColor BorderColor = 0x80000008u;
    bool Filled = false;
    OleColor FillColor = 0x000000u;
    void paint(QPainter& painter) const override;
};

// A line from (X1, Y1) to (X2, Y2) in twips, its last point left out.
class LineControl : public LightControl {
public:
    using LightControl::LightControl;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    OleColor BorderColor = 0x80000008u;
    void setEnds(double x1, double y1, double x2, double y2);
    void paint(QPainter& painter) const override;
};

// The light controls of one container, the first added on top.
class LightControlLayer {
public:
    explicit LightControlLayer(QWidget& container) : m_container(container) {}

    template <class T>
    T* add()
    {
        auto control = std::make_unique<T>(m_container);
        T* raw = control.get();
        m_controls.push_back(std::move(control));
        return raw;
    }
    void paint(QPainter& painter) const;

private:
    QWidget& m_container;
    std::vector<std::unique_ptr<LightControl>> m_controls;
};

} // namespace skarvel
