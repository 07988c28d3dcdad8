#pragma once

#include "Object.h"

#include <vector>

namespace q3 {

// A pick at a window point: the hits found by a picking loop.
class WindowPointPick final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypePick;

    struct Hit {
        TQ3Uns32 pickID { 0 };
        TQ3Point3D xyz { 0, 0, 0 }; // world coordinates
        float distance { 0 }; // from the eye
    };

    explicit WindowPointPick(const TQ3WindowPointPickData& data)
        : mData(data)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    const TQ3WindowPointPickData& Data() const { return mData; }
    void AddHit(const Hit& hit) { mHits.push_back(hit); }
    // Sorts the hits as asked and keeps as many as asked.
    void Finish();
    const std::vector<Hit>& Hits() const { return mHits; }
    void EmptyHits() { mHits.clear(); }

private:
    TQ3WindowPointPickData mData {};
    std::vector<Hit> mHits {};
};

}
