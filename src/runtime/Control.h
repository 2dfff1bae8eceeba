#pragma once

namespace skarvel {

class DrawingSurface;

// Something that keeps a drawing surface its child controls can be framed on.
class SurfaceOwner {
public:
    virtual ~SurfaceOwner() = default;
    virtual DrawingSurface& surface() = 0;
};

// What the edge painter needs of a control: where it is, in twips of its container, and the
// surface of that container. Throws RuntimeError when the container keeps no surface.
class Control {
public:
    virtual ~Control() = default;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual DrawingSurface& ContainerSurface() const = 0;
};

} // namespace skarvel
