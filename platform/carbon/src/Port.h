#pragma once

#include <carbon/Carbon.h>

#include <vector>

// A port: a 32-bit pixel buffer and the pen and background colors that
// drawing into it uses. Off-screen worlds and window ports are both ports.
struct OpaqueGrafPort {
    std::vector<uint8_t> pixels;
    PixMap pixMap {};
    PixMapPtr pixMapPointer { &pixMap };
    RGBColor foreground { 0, 0, 0 };
    RGBColor background { 0xFFFF, 0xFFFF, 0xFFFF };

    // Resizes the buffer to width x height, zero-filled; false if out of memory.
    bool Resize(int16_t width, int16_t height);
    int Width() const { return pixMap.bounds.right - pixMap.bounds.left; }
    int Height() const { return pixMap.bounds.bottom - pixMap.bounds.top; }
};

struct OpaqueWindowPtr {
    OpaqueGrafPort port;
    WindowFlushHook hook { nullptr };
    void* hookContext { nullptr };
    WindowAttributes attributes { 0 };
    WindowAttributesHook attributesHook { nullptr };
    void* attributesContext { nullptr };
};
