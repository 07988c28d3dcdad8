#pragma once

// Depths of the pixels in the drawing rectangle: 0 at hither, 1 at yon;
// smaller is nearer. Beside each depth, the order of the triangle that put
// it there, so that at equal depth the triangle drawn first may win
// whatever order triangles reach the rasteriser in.

#include "Tunables.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace q3::render {

class DepthBuffer {
public:
    static constexpr float Far = 1.0f;
    // How many depths past the end of a row may be read, though never
    // used, so that a run of pixels can be tested at full length.
    static constexpr int ReadPast = SubspanLength;

    // Sizes the buffer for a rectangle and sets every depth to Far. Orders
    // are left as they are: only a depth nearer than Far has one.
    void Reset(int width, int height);

    // The depths of one row, `width` of them, and their orders.
    float* Row(int y) { return mDepths.data() + size_t(y) * size_t(mWidth); }
    uint32_t* Orders(int y) { return mOrders.data() + size_t(y) * size_t(mWidth); }

private:
    std::vector<float> mDepths {};
    std::vector<uint32_t> mOrders {};
    int mWidth { 0 };
};

}
