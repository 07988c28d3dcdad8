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

    // World to frustum (see Q3Camera_GetWorldToFrustum); false, with a matrix
    // that puts everything outside the frustum, when the camera sees nothing.
    bool WorldToFrustum(TQ3Matrix4x4& matrix) const;
    TQ3Point3D Eye() const { return m_data.cameraData.placement.cameraLocation; }
    TQ3ViewAngleAspectCameraData& Data() { return m_data; }

private:
    TQ3ViewAngleAspectCameraData m_data {};
};

}
