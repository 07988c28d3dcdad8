#include "ObjectArray.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lx3d {

namespace {

    // Neither growth nor the step-0 shrink rule goes below this many slots.
    constexpr uint32_t MinimumIncrement = 16;

}

bool ObjectArray::SetCapacity(uint32_t newCapacity)
{
    if (newCapacity == capacity)
        return true;
    void** block = nullptr;
    if (newCapacity) {
        block = static_cast<void**>(std::calloc(newCapacity, sizeof(void*)));
        if (!block)
            return false;
    }
    uint32_t kept = std::min(count, newCapacity);
    if (kept)
        std::memcpy(block, items, kept * sizeof(void*));
    std::free(items);
    items = block;
    capacity = newCapacity;
    count = kept;
    return true;
}

bool ObjectArray::MakeRoom()
{
    while (count >= capacity) {
        uint32_t increment = growStep ? growStep : capacity;
        increment = std::max(increment, MinimumIncrement);
        if (capacity > UINT32_MAX / sizeof(void*) - increment || !SetCapacity(capacity + increment))
            return false;
    }
    return true;
}

bool ObjectArray::Append(void* item) { return Insert(count, item); }

bool ObjectArray::Insert(uint32_t position, void* item)
{
    if (position > count || !MakeRoom())
        return false;
    std::memmove(items + position + 1, items + position, (count - position) * sizeof(void*));
    items[position] = item;
    ++count;
    return true;
}

void* ObjectArray::RemoveAt(uint32_t index)
{
    void* item = items[index];
    std::memmove(items + index, items + index + 1, (count - index - 1) * sizeof(void*));
    --count;
    Shrink();
    return item;
}

void ObjectArray::Shrink()
{
    uint32_t slack = capacity - count;
    if (growStep > 0) {
        if (slack > 2 * growStep)
            SetCapacity(growStep * (count / growStep + 1));
    } else if (slack > 2 * count) {
        SetCapacity(count / MinimumIncrement * MinimumIncrement + MinimumIncrement);
    }
}

int64_t ObjectArray::LastIndexOf(const void* item) const
{
    for (int64_t i = int64_t(count) - 1; i >= 0; --i) {
        if (items[i] == item)
            return i;
    }
    return -1;
}

void ObjectArray::Clear()
{
    std::free(items);
    items = nullptr;
    count = 0;
    capacity = 0;
}

}
