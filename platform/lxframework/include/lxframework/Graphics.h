#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/Value.h>

#include <carbon/Carbon.h>

#include <cstdint>

namespace lx {

class Picture;

// A drawing port: a picture's pixels, or a canvas's while it paints. Every
// operation draws aliased into the OS layer's pixels. Once its target is gone
// (the picture released, the paint over) the port draws nothing and is 0 by 0.
class Graphics : public Object {
public:
    int32_t Width() const;
    int32_t Height() const;
    Color ForeColor { 0 };

    void DrawPicture(Picture* picture, int32_t x, int32_t y);
    // The source rectangle scaled into the destination one, honouring the
    // picture's mask and Transparent flag.
    void DrawPicture(Picture* picture, int32_t destinationX, int32_t destinationY, int32_t destinationWidth,
        int32_t destinationHeight, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight);
    // The ellipse inscribed in the rectangle, in the fore color.
    void FillOval(int32_t x, int32_t y, int32_t width, int32_t height);

    // The port drawing happens in, or null once detached.
    GWorldPtr Port() const { return mPort; }
    void Attach(GWorldPtr port) { mPort = port; }
    void Detach() { mPort = nullptr; }

private:
    GWorldPtr mPort = nullptr;
};

}
