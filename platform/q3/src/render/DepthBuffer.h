#pragma once

// Depths of the pixels in the drawing rectangle: 0 at hither, 1 at yon;
// smaller is nearer.

#include "Tunables.h"

#include <cstddef>
#include <vector>

namespace q3::render {

class DepthBuffer {
public:
    static constexpr float Far = 1.0f;
    // How many depths past the end of a row may be read, though never
    // used, so that a run of pixels can be tested at full length.
    static constexpr int ReadPast = SubspanLength;

    // Sizes the buffer for a rectangle and sets every depth to Far.
    void Reset(int width, int height);

    // The depths of one row, `width` of them.
    float* Row(int y) { return mDepths.data() + size_t(y) * size_t(mWidth); }

private:
    std::vector<float> mDepths {};
    int mWidth { 0 };
};

}
