#pragma once

#include "Object.h"

namespace q3 {

// A camera that sees a field of view (in radians) across the smaller side of
// the pane, with the pane's width-to-height ratio.
class ViewAngleAspectCamera final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3CameraTypeViewAngleAspect;

    explicit ViewAngleAspectCamera(const TQ3ViewAngleAspectCameraData& data)
        : mData(data)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    const TQ3ViewAngleAspectCameraData& Data() const { return mData; }

    // World to frustum (see Q3Camera_GetWorldToFrustum); false, with a matrix
    // that puts everything outside the frustum, when the camera sees nothing.
    bool WorldToFrustum(TQ3Matrix4x4& matrix) const;
    TQ3Point3D Eye() const { return mData.cameraData.placement.cameraLocation; }
    TQ3ViewAngleAspectCameraData& Data() { return mData; }

private:
    TQ3ViewAngleAspectCameraData mData {};
};

}
