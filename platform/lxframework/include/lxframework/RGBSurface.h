#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/Value.h>

namespace lx {

class Picture;

// Direct access to a picture's pixels as &hRRGGBB colors. Coordinates outside
// the picture read as black and ignore writes.
class RGBSurface : public Object {
public:
    Color Pixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, Color color);

    void Attach(Ref<Picture> picture) { mPicture = std::move(picture); }

private:
    Ref<Picture> mPicture;
};

}
