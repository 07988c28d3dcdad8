#pragma once

// Depths of the pixels in the drawing rectangle: 0 at hither, 1 at yon;
// smaller is nearer. Beside each depth, the order of the triangle that put
// it there, so that at equal depth the triangle drawn first may win
// whatever order triangles reach the rasteriser in; and the depth test.

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

// Where a span's pixels keep their depths and the orders that go with them.
struct DepthRow {
    float* depths { nullptr };
    uint32_t* orders { nullptr };

    DepthRow operator+(int pixels) const { return { depths + pixels, orders + pixels }; }
    void Set(int pixel, float depth, uint32_t order) const
    {
        depths[pixel] = depth;
        orders[pixel] = order;
    }
};

// The depth test: whether a pixel at `depth` of a triangle of `order`
// replaces one at `stored`. It does where it is nearer, or as near and its
// triangle comes earlier in the order: triangles drawn out of order give
// the picture drawing them in order would. Triangles of one order never
// replace each other at equal depth, and nothing at Far passes.
inline bool Passes(float depth, float stored, uint32_t storedOrder, uint32_t order)
{
    return depth < stored || (depth == stored && depth < DepthBuffer::Far && order < storedOrder);
}

}
