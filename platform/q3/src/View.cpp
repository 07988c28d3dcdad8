#include "View.h"

#include "Camera.h"

namespace Q3 {

View::~View()
{
    Clear(m_camera);
}

std::span<const TQ3ObjectType> View::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypeView };
    return chain;
}

}

using namespace Q3;

TQ3ViewObject Q3View_New(void)
{
    return new View;
}

TQ3Status Q3View_SetCamera(TQ3ViewObject view, TQ3CameraObject camera)
{
    auto* self = Cast<View>(view);
    if (!self || !Cast<ViewAngleAspectCamera>(camera))
        return kQ3Failure;
    self->SetCamera(camera);
    return kQ3Success;
}

TQ3Status Q3View_GetCamera(TQ3ViewObject view, TQ3CameraObject* camera)
{
    auto* self = Cast<View>(view);
    if (!camera)
        return kQ3Failure;
    *camera = nullptr;
    if (!self || !self->Camera())
        return kQ3Failure;
    *camera = Q3Shared_GetReference(self->Camera());
    return kQ3Success;
}
