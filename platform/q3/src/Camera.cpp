#include "Camera.h"

#include "Math.h"

#include <cmath>

namespace q3 {

std::span<const TQ3ObjectType> ViewAngleAspectCamera::TypeChain() const
{
    static constexpr TQ3ObjectType chain[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeCamera, kQ3CameraTypeViewAngleAspect };
    return chain;
}

namespace {

    constexpr float Pi = 3.14159265358979f;

    // Every point maps to x = 2, outside the frustum, whatever its position.
    TQ3Matrix4x4 EmptyFrustum()
    {
        TQ3Matrix4x4 m {};
        m.value[3][0] = 2;
        m.value[3][3] = 1;
        return m;
    }

}

bool ViewAngleAspectCamera::WorldToFrustum(TQ3Matrix4x4& matrix) const
{
    const TQ3CameraPlacement& placement = mData.cameraData.placement;
    const float hither = mData.cameraData.range.hither;
    const float yon = mData.cameraData.range.yon;
    const float fov = mData.fov;
    // A pane without height has no meaningful ratio; it is taken as square.
    const float aspect
        = mData.aspectRatioXToY > 0 && std::isfinite(mData.aspectRatioXToY) ? mData.aspectRatioXToY : 1.0f;
    matrix = EmptyFrustum();
    if (!(hither > 0) || !(yon > hither) || !std::isfinite(yon) || !(fov > 0) || !(fov < Pi))
        return false;

    // The camera's axes: it looks along -z with +y up and +x right.
    const TQ3Vector3D forward = Normalized(placement.pointOfInterest - placement.cameraLocation);
    const TQ3Vector3D right = Normalized(Cross(forward, placement.upVector));
    if (Dot(forward, forward) == 0 || Dot(right, right) == 0)
        return false;
    const TQ3Vector3D up = Cross(right, forward);
    // Points are row vectors, so each axis is a column of the matrix.
    TQ3Matrix4x4 worldToCamera = Identity();
    const TQ3Vector3D axes[3] = { right, up, -forward };
    const TQ3Point3D& eye = placement.cameraLocation;
    for (int column = 0; column < 3; ++column) {
        const TQ3Vector3D& axis = axes[column];
        worldToCamera.value[0][column] = axis.x;
        worldToCamera.value[1][column] = axis.y;
        worldToCamera.value[2][column] = axis.z;
        worldToCamera.value[3][column] = -Dot(AsVector(eye), axis);
    }

    // The field of view spans the pane's smaller side.
    const float focal = 1 / std::tan(fov / 2);
    const float scaleX = aspect >= 1 ? focal / aspect : focal;
    const float scaleY = aspect >= 1 ? focal : focal * aspect;
    // w is the distance in front of the eye; z / w runs from 0 at hither to -1 at yon.
    TQ3Matrix4x4 projection {};
    projection.value[0][0] = scaleX;
    projection.value[1][1] = scaleY;
    projection.value[2][2] = yon / (yon - hither);
    projection.value[3][2] = yon * hither / (yon - hither);
    projection.value[2][3] = -1;
    matrix = Multiply(worldToCamera, projection);
    return true;
}

}

using namespace q3;

TQ3CameraObject Q3ViewAngleAspectCamera_New(const TQ3ViewAngleAspectCameraData* data)
{
    if (!data) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return Created(new ViewAngleAspectCamera(*data));
}

TQ3Status Q3ViewAngleAspectCamera_GetData(TQ3CameraObject camera, TQ3ViewAngleAspectCameraData* data)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self || !data)
        return kQ3Failure;
    *data = self->Data();
    return kQ3Success;
}

TQ3Status Q3ViewAngleAspectCamera_SetFOV(TQ3CameraObject camera, float fov)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self)
        return kQ3Failure;
    self->Data().fov = fov;
    return kQ3Success;
}

TQ3Status Q3ViewAngleAspectCamera_SetAspectRatio(TQ3CameraObject camera, float aspectRatioXToY)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self)
        return kQ3Failure;
    self->Data().aspectRatioXToY = aspectRatioXToY;
    return kQ3Success;
}

TQ3Status Q3Camera_SetPlacement(TQ3CameraObject camera, const TQ3CameraPlacement* placement)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self || !placement)
        return kQ3Failure;
    self->Data().cameraData.placement = *placement;
    return kQ3Success;
}

TQ3Status Q3Camera_GetPlacement(TQ3CameraObject camera, TQ3CameraPlacement* placement)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self || !placement)
        return kQ3Failure;
    *placement = self->Data().cameraData.placement;
    return kQ3Success;
}

TQ3Status Q3Camera_SetRange(TQ3CameraObject camera, const TQ3CameraRange* range)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self || !range)
        return kQ3Failure;
    self->Data().cameraData.range = *range;
    return kQ3Success;
}

TQ3Status Q3Camera_GetWorldToFrustum(TQ3CameraObject camera, TQ3Matrix4x4* worldToFrustum)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self || !worldToFrustum)
        return kQ3Failure;
    self->WorldToFrustum(*worldToFrustum);
    return kQ3Success;
}
