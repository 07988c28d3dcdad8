#include "Camera.h"
#include "DrawContext.h"
#include "FrameObserver.h"
#include "Group.h"
#include "Light.h"
#include "Renderer.h"
#include "Storage.h"
#include "Texture.h"
#include "View.h"
#include "render/Texture.h"

#include <vector>

namespace Q3 {

std::shared_ptr<const Render::Texture> Texture::Decoded()
{
    if (m_decodeTried)
        return m_decoded;
    m_decodeTried = true;
    auto* storage = static_cast<MemoryStorage*>(m_storage.Get());
    if (!storage)
        return nullptr;
    m_decoded = Render::Texture::FromPixmap({ storage->Bytes(), m_pixmap.width, m_pixmap.height, m_pixmap.rowBytes,
        static_cast<uint32_t>(m_pixmap.pixelType), static_cast<uint32_t>(m_pixmap.byteOrder) });
    return m_decoded;
}

namespace {

    FrameObserver* s_observer = nullptr;

    Render::Backfacing BackfacingOf(TQ3BackfacingStyle style)
    {
        switch (style) {
        case kQ3BackfacingStyleRemove:
            return Render::Backfacing::Remove;
        case kQ3BackfacingStyleFlip:
            return Render::Backfacing::Flip;
        default:
            return Render::Backfacing::Both;
        }
    }

    Render::Fog FogOf(const TQ3FogStyleData& fog)
    {
        // Only linear fog is drawn; the other modes leave the scene clear.
        Render::Fog result;
        result.on = fog.state == kQ3On && fog.mode == kQ3FogModeLinear;
        result.start = fog.fogStart;
        result.end = fog.fogEnd;
        result.color = { fog.color.r, fog.color.g, fog.color.b };
        return result;
    }

    std::vector<Render::Light> LightsOf(const Object* group)
    {
        std::vector<Render::Light> lights;
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
        RenderPass(View& view, Render::Device& device, const Render::Pane& pane)
            : m_view(&view)
            , m_device(&device)
            , m_pane(pane)
        {
        }

        void Mesh(const Render::Mesh& mesh, const ViewState& state) override
        {
            if (!m_seesAnything)
                return;
            Render::DrawState draw;
            draw.localToWorld = state.localToWorld;
            draw.surface.diffuse = state.diffuse;
            draw.surface.illuminated = state.illuminated;
            if (auto* shader = static_cast<TextureShader*>(state.surfaceShader.Get()))
                if (Texture* texture = shader->TextureObject(); texture && mesh.vertexUVs)
                    draw.surface.texture = texture->Decoded();
            draw.backfacing = BackfacingOf(state.backfacing);
            draw.interpolation = static_cast<Render::Interpolation>(state.interpolation);
            draw.fill = static_cast<Render::Fill>(state.fill);
            const Render::Fog fog = FogOf(state.fog);
            if (fog.on != m_fog.on || fog.start != m_fog.start || fog.end != m_fog.end || fog.color.r != m_fog.color.r
                || fog.color.g != m_fog.color.g || fog.color.b != m_fog.color.b) {
                m_fog = fog;
                m_device->SetFog(fog);
            }
            if (s_observer)
                s_observer->Mesh(mesh, draw, fog);
            m_device->DrawMesh(mesh, draw);
        }

        void Finish()
        {
            m_device->End();
            static_cast<DrawContext*>(m_view->drawContext.Get())->Present(m_pane);
        }

        bool m_seesAnything { true };

    private:
        View* m_view { nullptr };
        Render::Device* m_device { nullptr };
        Render::Pane m_pane {};
        Render::Fog m_fog {};
    };

    // The device of each view, kept from frame to frame so that its buffers
    // are reused.
    struct DeviceCache final : RenderCache {
        Render::Device device {};
    };

    Render::Device& DeviceOf(View& view)
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
        Render::Target target;
        Render::Pane pane;
        if (!camera || !context || !renderer || !context->Target(target, pane))
            return nullptr;
        Render::Device& device = DeviceOf(view);
        // The clear is opaque whatever the colour's alpha.
        const TQ3ColorARGB* clear = context->ClearColor();
        const TQ3ColorRGB clearColor = clear ? TQ3ColorRGB { clear->r, clear->g, clear->b } : TQ3ColorRGB { 1, 1, 1 };
        device.Begin(target, pane, clearColor);
        TQ3Matrix4x4 worldToFrustum {};
        const bool seesAnything = camera->WorldToFrustum(worldToFrustum);
        device.SetCamera(worldToFrustum, camera->Eye());
        const std::vector<Render::Light> lights = LightsOf(view.lightGroup.Get());
        device.SetLights(lights);
        device.SetFog({});
        device.SetWireframe(renderer->Wireframe());
        if (s_observer)
            s_observer->Begin(pane, clearColor, worldToFrustum, camera->Eye(), lights, renderer->Wireframe());
        auto pass = std::make_unique<RenderPass>(view, device, pane);
        pass->m_seesAnything = seesAnything;
        return pass;
    }

}

void ObserveFrames(FrameObserver* observer) { s_observer = observer; }

}

using namespace Q3;

TQ3Status Q3View_StartRendering(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    if (!self)
        return kQ3Failure;
    std::unique_ptr<RenderPass> pass = MakeRenderPass(*self);
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
    static_cast<RenderPass*>(pass.get())->Finish();
    return kQ3ViewStatusDone;
}
