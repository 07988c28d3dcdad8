#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <carbon/Carbon.h>

#include <cstdint>

namespace lx {

class Graphics;
class RGBSurface;

// A picture: 32-bit pixels in an off-screen world of the OS layer (so a
// plug-in can draw into it as the current port), a declared depth, an optional
// mask picture (black opaque, white transparent, grey partial) and the
// Transparent flag (1: pure white is transparent).
class Picture : public Object {
public:
    Picture() = default;
    ~Picture() override;

    // A new picture, opaque white; nil for a size that is not positive or too big.
    static Ref<Picture> New(int32_t width, int32_t height, int32_t depth = DefaultDepth);

    int32_t Width() const;
    int32_t Height() const;
    int32_t Depth() const { return mDepth; }
    int32_t Transparent = 0;

    // The same drawing port on every access.
    Ref<lx::Graphics> Graphics();
    Ref<lx::RGBSurface> RGBSurface();
    // The mask, made fully opaque on first access.
    Ref<Picture> Mask();
    // The mask if there is one, without making it.
    Ref<Picture> ExistingMask() const { return mMask; }

    // The pixels, for the framework's drawing code and the plug-in services.
    GWorldPtr World() const { return mWorld; }

    // Lock count of plug-in picture descriptions.
    int32_t DescriptionLocks = 0;

    static constexpr int32_t DefaultDepth = 32;
    static constexpr int32_t MaximumSide = kMaxGWorldSide;

private:
    GWorldPtr mWorld = nullptr;
    int32_t mDepth = DefaultDepth;
    Ref<Picture> mMask;
    Ref<lx::Graphics> mGraphics;
};

}
