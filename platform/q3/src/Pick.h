#pragma once

#include "Object.h"

#include <vector>

namespace Q3 {

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
        : m_data(data)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    const TQ3WindowPointPickData& Data() const { return m_data; }
    void AddHit(const Hit& hit) { m_hits.push_back(hit); }
    // Sorts the hits as asked and keeps as many as asked.
    void Finish();
    const std::vector<Hit>& Hits() const { return m_hits; }
    void EmptyHits() { m_hits.clear(); }

private:
    TQ3WindowPointPickData m_data {};
    std::vector<Hit> m_hits {};
};

}
