#include "Camera.h"
#include "DrawContext.h"
#include "FrameObserver.h"
#include "Group.h"
#include "Light.h"
#include "Renderer.h"
#include "Texture.h"
#include "VectorState.h"
#include "View.h"

#include <new>
#include <vector>

namespace q3 {

namespace {

    FrameObserver* s_observer = nullptr;

    render::Backfacing BackfacingOf(TQ3BackfacingStyle style)
    {
        switch (style) {
        case kQ3BackfacingStyleRemove:
            return render::Backfacing::Remove;
        case kQ3BackfacingStyleFlip:
            return render::Backfacing::Flip;
        default:
            return render::Backfacing::Both;
        }
    }

    render::Boundary BoundaryOf(TQ3ShaderUVBoundary boundary)
    {
        return boundary == kQ3ShaderUVBoundaryClamp ? render::Boundary::Clamp : render::Boundary::Wrap;
    }

    // The renderer blends by one factor for all three channels: their mean.
    float OpacityOf(const TQ3ColorRGB& transparency) { return (transparency.r + transparency.g + transparency.b) / 3; }

    render::Fog FogOf(const TQ3FogStyleData& fog)
    {
        // Only linear fog is drawn; the other modes leave the scene clear.
        render::Fog result;
        result.on = fog.state == kQ3On && fog.mode == kQ3FogModeLinear;
        result.start = fog.fogStart;
        result.end = fog.fogEnd;
        result.color = { fog.color.r, fog.color.g, fog.color.b };
        return result;
    }

    std::vector<render::Light> LightsOf(const Object* group)
    {
        std::vector<render::Light> lights;
        if (!group)
            return lights;
        static_cast<const Group*>(group)->ForEach([&](Object* member) {
            auto* light = static_cast<Light*>(member);
            if (light && light->IsOn())
                lights.push_back(light->Data());
        });
        return lights;
    }

    // Draws each submitted mesh through the rasteriser's device.
    class RenderPass final : public Pass {
    public:
        RenderPass(View& view, render::Device& device, const render::Pane& pane)
            : mView(&view)
            , mDevice(&device)
            , mPane(pane)
        {
        }

        void Mesh(const render::Mesh& mesh, const ViewState& state) override
        {
            if (!mSeesAnything)
                return;
            render::DrawState draw;
            draw.localToWorld = state.localToWorld;
            draw.surface.diffuse = state.diffuse;
            draw.surface.illuminated = state.illuminated;
            draw.surface.opacity = OpacityOf(state.transparency);
            if (auto* shader = static_cast<TextureShader*>(state.surfaceShader.Get())) {
                if (Texture* texture = shader->TextureObject(); texture && mesh.vertexUVs)
                    draw.surface.texture = texture->Decoded();
                draw.surface.uBoundary = BoundaryOf(shader->UBoundary());
                draw.surface.vBoundary = BoundaryOf(shader->VBoundary());
            }
            draw.backfacing = BackfacingOf(state.backfacing);
            draw.interpolation = static_cast<render::Interpolation>(state.interpolation);
            draw.fill = static_cast<render::Fill>(state.fill);
            const render::Fog fog = FogOf(state.fog);
            if (fog.on != mFog.on || fog.start != mFog.start || fog.end != mFog.end || fog.color.r != mFog.color.r
                || fog.color.g != mFog.color.g || fog.color.b != mFog.color.b) {
                mFog = fog;
                mDevice->SetFog(fog);
            }
            if (s_observer)
                s_observer->Mesh(mesh, draw, fog);
            mDevice->DrawMesh(mesh, draw);
        }

        void Finish()
        {
            mDevice->End();
            if (s_observer)
                s_observer->End(mDevice->ShadedPixels());
            static_cast<DrawContext*>(mView->drawContext.Get())->Present(mPane);
        }

        bool mSeesAnything { true };

    private:
        View* mView { nullptr };
        render::Device* mDevice { nullptr };
        render::Pane mPane {};
        render::Fog mFog {};
    };

    // The device of each view, kept from frame to frame so that its buffers
    // are reused.
    struct DeviceCache final : RenderCache {
        render::Device device {};
    };

    render::Device& DeviceOf(View& view)
    {
        if (!view.renderCache)
            view.renderCache = std::make_unique<DeviceCache>();
        return static_cast<DeviceCache&>(*view.renderCache).device;
    }

    std::unique_ptr<RenderPass> MakeRenderPass(View& view)
    {
        auto* camera = static_cast<ViewAngleAspectCamera*>(view.camera.Get());
        auto* context = static_cast<DrawContext*>(view.drawContext.Get());
        auto* renderer = static_cast<Renderer*>(view.renderer.Get());
        render::Target target;
        render::Pane pane;
        if (!camera || !context || !renderer || !context->Target(target, pane))
            return nullptr;
        render::Device& device = DeviceOf(view);
        // The clear is opaque whatever the color's alpha.
        const TQ3ColorARGB* clear = context->ClearColor();
        const TQ3ColorRGB clearColor = clear ? TQ3ColorRGB { clear->r, clear->g, clear->b } : TQ3ColorRGB { 1, 1, 1 };
        device.Begin(target, pane, clearColor);
        TQ3Matrix4x4 worldToFrustum {};
        const bool seesAnything = camera->WorldToFrustum(worldToFrustum);
        device.SetCamera(worldToFrustum, camera->Eye());
        const std::vector<render::Light> lights = LightsOf(view.lightGroup.Get());
        device.SetLights(lights);
        device.SetFog({});
        device.SetWireframe(renderer->Wireframe());
        if (s_observer)
            s_observer->Begin(pane, clearColor, worldToFrustum, camera->Eye(), lights, renderer->Wireframe());
        auto pass = std::make_unique<RenderPass>(view, device, pane);
        pass->mSeesAnything = seesAnything;
        return pass;
    }

}

void ObserveFrames(FrameObserver* observer) { s_observer = observer; }

}

using namespace q3;

TQ3Status Q3View_StartRendering(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    if (!self)
        return kQ3Failure;
    // Between frames the host's painting may have left them in use.
    ClearUpperVectorState();
    std::unique_ptr<RenderPass> pass;
    // The device's buffers grow with the pane. When they cannot, the device
    // is dropped whole, as it may be left with some grown and some not; the
    // next frame makes a new one.
    try {
        pass = MakeRenderPass(*self);
    } catch (const std::bad_alloc&) {
        self->renderCache.reset();
        PostError(kQ3ErrorOutOfMemory);
        return kQ3Failure;
    }
    if (!pass) {
        PostError(kQ3ErrorInvalidParameter);
        return kQ3Failure;
    }
    self->Start(View::Mode::Rendering, std::move(pass));
    return kQ3Success;
}

TQ3ViewStatus Q3View_EndRendering(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    std::unique_ptr<Pass> pass = self ? self->End(View::Mode::Rendering) : nullptr;
    if (!pass)
        return kQ3ViewStatusError;
    // Sorting the frame's triangles needs room in proportion to them.
    try {
        static_cast<RenderPass*>(pass.get())->Finish();
    } catch (const std::bad_alloc&) {
        pass.reset();
        self->renderCache.reset();
        PostError(kQ3ErrorOutOfMemory);
        return kQ3ViewStatusError;
    }
    return kQ3ViewStatusDone;
}
