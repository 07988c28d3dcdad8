#pragma once

#include "Math.h"
#include "Object.h"
#include "render/Device.h"

#include <memory>
#include <vector>

namespace q3 {

class AttributeSet;

// Everything a push saves and a pop restores.
struct ViewState {
    TQ3Matrix4x4 localToWorld { Identity() };
    TQ3ColorRGB diffuse { 1, 1, 1 };
    // 1 in every channel: opaque.
    TQ3ColorRGB transparency { 1, 1, 1 };
    Ref<> surfaceShader {};
    bool illuminated { true };
    TQ3BackfacingStyle backfacing { kQ3BackfacingStyleBoth };
    TQ3InterpolationStyle interpolation { kQ3InterpolationStyleVertex };
    TQ3FillStyle fill { kQ3FillStyleFilled };
    TQ3FogStyleData fog {};
    TQ3Uns32 pickID { 0 };
};

// What one loop does with the meshes submitted to it: draw, pick or bound.
class Pass {
public:
    virtual ~Pass() = default;
    virtual void Mesh(const render::Mesh& mesh, const ViewState& state) = 0;
    // Whether a mesh inside `box` (local coordinates) may matter to the pass.
    virtual bool MayShow(const TQ3BoundingBox&, const ViewState&) const { return true; }

    // Set when memory ran out for a mesh, which the pass then left out.
    bool outOfMemory { false };
};

// What the rendering loop keeps from one frame to the next (its device and
// buffers).
class RenderCache {
public:
    virtual ~RenderCache() = default;
};

// A view ties together what a frame needs (camera, draw context, renderer and
// light group, one reference each) and runs the rendering, picking and
// bounding loops, keeping the state stack that submissions change.
class View final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeView;

    enum class Mode { Idle, Rendering, Picking, BoundingBox, BoundingSphere };

    View() = default;
    ~View() override;

    std::span<const TQ3ObjectType> TypeChain() const override;

    Ref<> camera {};
    Ref<> drawContext {};
    Ref<> renderer {};
    Ref<> lightGroup {};
    std::unique_ptr<RenderCache> renderCache {};

    // Starts a loop with a fresh state stack; `pass` receives the meshes.
    void Start(Mode mode, std::unique_ptr<Pass> pass);
    // Ends the loop and hands back its pass; null if `mode` is not running.
    std::unique_ptr<Pass> End(Mode mode);
    bool InLoop() const { return mMode != Mode::Idle; }

    // Submissions, all of them inside a loop.
    bool Push();
    bool Pop();
    ViewState& State() { return mStack.back(); }
    void ApplyTransform(const TQ3Matrix4x4& matrix);
    void ApplyAttributes(const AttributeSet& attributes);
    void SetSurfaceShader(Object* shader) { State().surfaceShader = Ref<>(shader); }
    void SetIlluminated(bool illuminated) { State().illuminated = illuminated; }
    // Hands a mesh to the loop with the state in force, `attributes` (if any) on top.
    void SubmitMesh(const render::Mesh& mesh, const Object* attributes);

    // Whether a mesh inside `box` may matter to the loop, placed as the state says.
    bool MayShow(const TQ3BoundingBox& box) { return !mPass || mPass->MayShow(box, State()); }

private:
    void PassMesh(const render::Mesh& mesh, const ViewState& state);

    Mode mMode { Mode::Idle };
    std::unique_ptr<Pass> mPass {};
    std::vector<ViewState> mStack { ViewState {} };
};

}
