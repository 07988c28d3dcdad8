#include "View.h"

#include "AttributeSet.h"
#include "Camera.h"
#include "DrawContext.h"
#include "Renderer.h"

#include <new>

namespace q3 {

View::~View() = default;

std::span<const TQ3ObjectType> View::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypeView };
    return chain;
}

void View::Start(Mode mode, std::unique_ptr<Pass> pass)
{
    mMode = mode;
    mPass = std::move(pass);
    mStack.assign(1, ViewState {});
}

std::unique_ptr<Pass> View::End(Mode mode)
{
    if (mMode != mode)
        return nullptr;
    mMode = Mode::Idle;
    mStack.assign(1, ViewState {});
    return std::move(mPass);
}

bool View::Push()
{
    if (!InLoop())
        return false;
    mStack.push_back(mStack.back());
    return true;
}

bool View::Pop()
{
    // The loop's own state cannot be popped.
    if (!InLoop() || mStack.size() < 2)
        return false;
    mStack.pop_back();
    return true;
}

void View::ApplyTransform(const TQ3Matrix4x4& matrix)
{
    // A new transform applies to the geometry first, before those in force.
    State().localToWorld = Multiply(matrix, State().localToWorld);
}

namespace {

    void Apply(const AttributeSet& attributes, ViewState& state)
    {
        attributes.Get(kQ3AttributeTypeDiffuseColor, &state.diffuse);
        attributes.Get(kQ3AttributeTypeTransparencyColor, &state.transparency);
        if (Object* shader = attributes.SurfaceShader())
            state.surfaceShader = Ref<>(shader);
    }

}

void View::ApplyAttributes(const AttributeSet& attributes) { Apply(attributes, State()); }

void View::SubmitMesh(const render::Mesh& mesh, const Object* attributes)
{
    if (!mPass)
        return;
    if (!attributes || !attributes->IsType(kQ3SetTypeAttribute)) {
        PassMesh(mesh, State());
        return;
    }
    // The geometry's own attributes override the inherited ones for this mesh only.
    ViewState state = State();
    Apply(*static_cast<const AttributeSet*>(attributes), state);
    PassMesh(mesh, state);
}

void View::PassMesh(const render::Mesh& mesh, const ViewState& state)
{
    // A pass's work for a mesh may need memory in proportion to its points,
    // which a caller can make as many as it likes: a mesh for which memory
    // runs out is left out of the loop rather than ending the caller.
    try {
        mPass->Mesh(mesh, state);
    } catch (const std::bad_alloc&) {
        mPass->outOfMemory = true;
        PostError(kQ3ErrorOutOfMemory);
    }
}

}

using namespace q3;

namespace {

// The view behind a handle if it is running a loop.
View* ViewInLoop(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    return self && self->InLoop() ? self : nullptr;
}

// A part of another type is refused.
TQ3Status SetPart(TQ3ViewObject view, Ref<> View::*part, TQ3Object object, TQ3ObjectType type)
{
    auto* self = Cast<View>(view);
    if (!self || !object)
        return kQ3Failure;
    if (!object->IsType(type)) {
        PostError(kQ3ErrorInvalidObjectType);
        return kQ3Failure;
    }
    self->*part = Ref<>(object);
    return kQ3Success;
}

TQ3Status GetPart(TQ3ViewObject view, Ref<> View::*part, TQ3Object* object)
{
    auto* self = Cast<View>(view);
    if (!object)
        return kQ3Failure;
    *object = self ? Q3Shared_GetReference((self->*part).Get()) : nullptr;
    return *object ? kQ3Success : kQ3Failure;
}

}

TQ3ViewObject Q3View_New(void) { return Created(new View); }

TQ3Status Q3View_SetCamera(TQ3ViewObject view, TQ3CameraObject camera)
{
    return SetPart(view, &View::camera, camera, ViewAngleAspectCamera::Type);
}

TQ3Status Q3View_GetCamera(TQ3ViewObject view, TQ3CameraObject* camera) { return GetPart(view, &View::camera, camera); }

TQ3Status Q3View_SetDrawContext(TQ3ViewObject view, TQ3DrawContextObject context)
{
    return SetPart(view, &View::drawContext, context, DrawContext::Type);
}

TQ3Status Q3View_GetDrawContext(TQ3ViewObject view, TQ3DrawContextObject* context)
{
    return GetPart(view, &View::drawContext, context);
}

TQ3Status Q3View_SetRenderer(TQ3ViewObject view, TQ3RendererObject renderer)
{
    return SetPart(view, &View::renderer, renderer, Renderer::Type);
}

TQ3Status Q3View_SetLightGroup(TQ3ViewObject view, TQ3GroupObject lightGroup)
{
    // The type chain tells a light group from a display group, so the view
    // asks nothing of the group itself. Any other object is refused even
    // before the view is looked at.
    if (lightGroup && !lightGroup->IsType(kQ3GroupTypeLight)) {
        PostError(kQ3ErrorInvalidObjectType);
        return kQ3Failure;
    }
    return SetPart(view, &View::lightGroup, lightGroup, kQ3GroupTypeLight);
}

TQ3Status Q3View_GetLightGroup(TQ3ViewObject view, TQ3GroupObject* lightGroup)
{
    return GetPart(view, &View::lightGroup, lightGroup);
}

TQ3Status Q3Object_Submit(TQ3Object object, TQ3ViewObject view)
{
    auto* self = ViewInLoop(view);
    if (!object || !self)
        return kQ3Failure;
    return object->Submit(*self);
}

TQ3Boolean Q3View_IsBoundingBoxVisible(TQ3ViewObject view, const TQ3BoundingBox* box)
{
    auto* self = Cast<View>(view);
    if (!self || !box)
        return kQ3False;
    return self->MayShow(*box) ? kQ3True : kQ3False;
}

TQ3Status Q3Push_Submit(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    return self && self->Push() ? kQ3Success : kQ3Failure;
}

TQ3Status Q3Pop_Submit(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    return self && self->Pop() ? kQ3Success : kQ3Failure;
}

TQ3Status Q3InterpolationStyle_Submit(TQ3InterpolationStyle style, TQ3ViewObject view)
{
    auto* self = ViewInLoop(view);
    if (!self || style > kQ3InterpolationStylePixel)
        return kQ3Failure;
    self->State().interpolation = style;
    return kQ3Success;
}

TQ3Status Q3BackfacingStyle_Submit(TQ3BackfacingStyle style, TQ3ViewObject view)
{
    auto* self = ViewInLoop(view);
    if (!self || style > kQ3BackfacingStyleFlip)
        return kQ3Failure;
    self->State().backfacing = style;
    return kQ3Success;
}

TQ3Status Q3FillStyle_Submit(TQ3FillStyle style, TQ3ViewObject view)
{
    auto* self = ViewInLoop(view);
    if (!self || style > kQ3FillStylePoints)
        return kQ3Failure;
    self->State().fill = style;
    return kQ3Success;
}

TQ3Status Q3FogStyle_Submit(const TQ3FogStyleData* data, TQ3ViewObject view)
{
    auto* self = ViewInLoop(view);
    if (!self || !data)
        return kQ3Failure;
    self->State().fog = *data;
    return kQ3Success;
}

TQ3Status Q3PickIDStyle_Submit(TQ3Uns32 id, TQ3ViewObject view)
{
    auto* self = ViewInLoop(view);
    if (!self)
        return kQ3Failure;
    self->State().pickID = id;
    return kQ3Success;
}
