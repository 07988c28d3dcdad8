#pragma once

#include "Object.h"

namespace Q3 {

// A camera that sees a field of view (in radians) across the smaller side of
// the pane, with the pane's width-to-height ratio.
class ViewAngleAspectCamera final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3CameraTypeViewAngleAspect;

    explicit ViewAngleAspectCamera(const TQ3ViewAngleAspectCameraData& data)
        : m_data(data)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    const TQ3ViewAngleAspectCameraData& Data() const { return m_data; }
    TQ3ViewAngleAspectCameraData& Data() { return m_data; }

private:
    TQ3ViewAngleAspectCameraData m_data {};
};

}
