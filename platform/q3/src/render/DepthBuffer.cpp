#include "DepthBuffer.h"

#include <algorithm>

namespace q3::render {

void DepthBuffer::Reset(int width, int height)
{
    mWidth = width;
    // Growing keeps the allocation across frames; shrinking panes reuse it.
    size_t count = size_t(width) * size_t(height) + ReadPast;
    if (mDepths.size() < count) {
        mDepths.resize(count);
        mOrders.resize(count);
    }
    std::fill_n(mDepths.begin(), count, Far);
}

}
