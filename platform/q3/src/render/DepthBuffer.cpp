#include "DepthBuffer.h"

#include <algorithm>

namespace Q3::Render {

void DepthBuffer::Reset(int width, int height)
{
    m_width = width;
    // Growing keeps the allocation across frames; shrinking panes reuse it.
    size_t count = size_t(width) * size_t(height);
    if (m_depths.size() < count)
        m_depths.resize(count);
    std::fill_n(m_depths.begin(), count, Far);
}

}
