#include "Camera.h"

namespace Q3 {

std::span<const TQ3ObjectType> ViewAngleAspectCamera::TypeChain() const
{
    static constexpr TQ3ObjectType chain[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeCamera, kQ3CameraTypeViewAngleAspect };
    return chain;
}

}

using namespace Q3;

TQ3CameraObject Q3ViewAngleAspectCamera_New(const TQ3ViewAngleAspectCameraData* data)
{
    if (!data) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new ViewAngleAspectCamera(*data);
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

TQ3Status Q3Camera_GetRange(TQ3CameraObject camera, TQ3CameraRange* range)
{
    auto* self = Cast<ViewAngleAspectCamera>(camera);
    if (!self || !range)
        return kQ3Failure;
    *range = self->Data().cameraData.range;
    return kQ3Success;
}
