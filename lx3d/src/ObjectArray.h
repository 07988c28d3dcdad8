#pragma once

// The growable array of object handles that groups, shapes and the view's
// lights keep in their instance data. It holds raw handles: taking and
// dropping references is its owner's business. It lives in zero-filled
// instance data, so all-zero is a valid empty array (grow step 0).

#include <cstdint>

namespace lx3d {

struct ObjectArray {
    uint32_t growStep = 0;
    void** items = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;

    void* At(uint32_t index) const { return items[index]; }
    void Set(uint32_t index, void* item) { items[index] = item; }

    // False when no storage could be had; the array is then unchanged.
    bool Append(void* item);
    bool Insert(uint32_t position, void* item);
    // Takes the entry out, keeps the order of the rest, then shrinks.
    void* RemoveAt(uint32_t index);
    // The last index holding `item`, or -1.
    int64_t LastIndexOf(const void* item) const;
    // Exactly `newCapacity` slots; count is cut to fit.
    bool SetCapacity(uint32_t newCapacity);
    void Clear();

private:
    bool MakeRoom();
    void Shrink();
};

// Growth and shrinking steps of the three holders.
constexpr uint32_t GroupGrowStep = 16;
constexpr uint32_t ShapeGrowStep = 0;
constexpr uint32_t LightGrowStep = 8;

}
