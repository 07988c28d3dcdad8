#include "Pick.h"

#include "Camera.h"
#include "DrawContext.h"
#include "View.h"

#include <algorithm>
#include <cmath>

namespace Q3 {

std::span<const TQ3ObjectType> WindowPointPick::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypePick, kQ3PickTypeWindowPoint };
    return chain;
}

void WindowPointPick::Finish()
{
    const auto nearer = [](const Hit& a, const Hit& b) { return a.distance < b.distance; };
    if (m_data.data.sort == kQ3PickSortNearToFar)
        std::stable_sort(m_hits.begin(), m_hits.end(), nearer);
    else if (m_data.data.sort == kQ3PickSortFarToNear)
        std::stable_sort(m_hits.begin(), m_hits.end(), [&](const Hit& a, const Hit& b) { return nearer(b, a); });
    if (m_data.data.numHitsToReturn > 0 && m_hits.size() > m_data.data.numHitsToReturn)
        m_hits.resize(m_data.data.numHitsToReturn);
}

namespace {

    // Tests each submitted triangle against the ray from the eye through the
    // picked pixel, exactly, in world coordinates.
    class PickPass final : public Pass {
    public:
        PickPass(WindowPointPick& pick, TQ3Point3D eye, TQ3Point3D nearPoint, TQ3Point3D farPoint)
            : m_pick(&pick)
            , m_eye(eye)
            , m_origin(nearPoint)
            , m_direction(farPoint - nearPoint)
        {
        }

        void Mesh(const Render::Mesh& mesh, const ViewState& state) override
        {
            for (uint32_t t = 0; t < mesh.triangleCount; ++t) {
                const uint32_t* corners = mesh.triangles[t];
                if (corners[0] >= mesh.pointCount || corners[1] >= mesh.pointCount || corners[2] >= mesh.pointCount)
                    continue;
                const TQ3Point3D a = TransformAffine(mesh.points[corners[0]], state.localToWorld);
                const TQ3Point3D b = TransformAffine(mesh.points[corners[1]], state.localToWorld);
                const TQ3Point3D c = TransformAffine(mesh.points[corners[2]], state.localToWorld);
                Test(a, b, c, state);
            }
        }

        Ref<> pickReference {};

    private:
        void Test(const TQ3Point3D& a, const TQ3Point3D& b, const TQ3Point3D& c, const ViewState& state)
        {
            // Moeller-Trumbore: the ray point origin + s * direction, s in
            // [0, 1] from hither to yon, against the triangle's plane.
            const TQ3Vector3D edge1 = b - a, edge2 = c - a;
            // Counter-clockwise as the eye sees it is the front.
            const bool backFacing = Dot(Cross(edge1, edge2), a - m_eye) >= 0;
            if (backFacing && state.backfacing == kQ3BackfacingStyleRemove)
                return;
            const TQ3Vector3D p = Cross(m_direction, edge2);
            const float determinant = Dot(edge1, p);
            if (determinant == 0 || !std::isfinite(determinant))
                return;
            const float inverse = 1 / determinant;
            const TQ3Vector3D toOrigin = m_origin - a;
            const float u = Dot(toOrigin, p) * inverse;
            if (u < 0 || u > 1)
                return;
            const TQ3Vector3D q = Cross(toOrigin, edge1);
            const float v = Dot(m_direction, q) * inverse;
            if (v < 0 || u + v > 1)
                return;
            const float s = Dot(edge2, q) * inverse;
            if (s < 0 || s > 1)
                return;
            const TQ3Point3D hit = m_origin + m_direction * s;
            const TQ3Vector3D fromEye = hit - m_eye;
            m_pick->AddHit({ state.pickID, hit, std::sqrt(Dot(fromEye, fromEye)) });
        }

        WindowPointPick* m_pick { nullptr };
        TQ3Point3D m_eye {};
        TQ3Point3D m_origin {};
        TQ3Vector3D m_direction {};
    };

    // A pass that finds nothing: the camera sees nothing or the point lies
    // outside the pane.
    class EmptyPass final : public Pass {
    public:
        void Mesh(const Render::Mesh&, const ViewState&) override { }
    };

    std::unique_ptr<Pass> MakePickPass(View& view, WindowPointPick& pick)
    {
        auto* camera = static_cast<ViewAngleAspectCamera*>(view.camera.Get());
        auto* context = static_cast<DrawContext*>(view.drawContext.Get());
        TQ3Matrix4x4 worldToFrustum {}, frustumToWorld {};
        if (!camera || !context || !camera->WorldToFrustum(worldToFrustum) || !Invert(worldToFrustum, frustumToWorld))
            return std::make_unique<EmptyPass>();
        // The point is taken at its pixel's centre within the pane.
        const TQ3Area pane = context->PaneArea();
        const float width = pane.max.x - pane.min.x, height = pane.max.y - pane.min.y;
        const TQ3Point2D point = pick.Data().point;
        const float x = std::floor(point.x) - pane.min.x + 0.5f, y = std::floor(point.y) - pane.min.y + 0.5f;
        if (!(width > 0) || !(height > 0) || !(x >= 0) || x > width || !(y >= 0) || y > height)
            return std::make_unique<EmptyPass>();
        const TQ3Point3D nearFrustum { 2 * x / width - 1, 1 - 2 * y / height, 0 };
        const TQ3Point3D farFrustum { nearFrustum.x, nearFrustum.y, -1 };
        TQ3Point3D nearPoint {}, farPoint {};
        Q3Point3D_Transform(&nearFrustum, &frustumToWorld, &nearPoint);
        Q3Point3D_Transform(&farFrustum, &frustumToWorld, &farPoint);
        auto pass = std::make_unique<PickPass>(pick, camera->Eye(), nearPoint, farPoint);
        pass->pickReference = Ref<>(&pick);
        return pass;
    }

}

}

using namespace Q3;

TQ3PickObject Q3WindowPointPick_New(const TQ3WindowPointPickData* data)
{
    if (!data) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new WindowPointPick(*data);
}

TQ3Status Q3View_StartPicking(TQ3ViewObject view, TQ3PickObject pick)
{
    auto* self = Cast<View>(view);
    auto* target = Cast<WindowPointPick>(pick);
    if (!self || !target)
        return kQ3Failure;
    target->EmptyHits();
    self->Start(View::Mode::Picking, MakePickPass(*self, *target));
    return kQ3Success;
}

TQ3ViewStatus Q3View_EndPicking(TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    std::unique_ptr<Pass> pass = self ? self->End(View::Mode::Picking) : nullptr;
    if (!pass)
        return kQ3ViewStatusError;
    if (auto* picking = dynamic_cast<PickPass*>(pass.get()))
        static_cast<WindowPointPick*>(picking->pickReference.Get())->Finish();
    return kQ3ViewStatusDone;
}

TQ3Status Q3Pick_GetNumHits(TQ3PickObject pick, TQ3Uns32* count)
{
    auto* self = Cast<WindowPointPick>(pick);
    if (!self || !count)
        return kQ3Failure;
    *count = static_cast<TQ3Uns32>(self->Hits().size());
    return kQ3Success;
}

TQ3Status Q3Pick_GetPickDetailValidMask(TQ3PickObject pick, TQ3Uns32 index, TQ3PickDetail* mask)
{
    auto* self = Cast<WindowPointPick>(pick);
    if (!mask)
        return kQ3Failure;
    *mask = kQ3PickDetailNone;
    if (!self || index >= self->Hits().size())
        return kQ3Failure;
    constexpr TQ3PickDetail Known = kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ | kQ3PickDetailMaskDistance;
    *mask = self->Data().data.mask & Known;
    return kQ3Success;
}

TQ3Status Q3Pick_GetPickDetailData(TQ3PickObject pick, TQ3Uns32 index, TQ3PickDetail detail, void* data)
{
    auto* self = Cast<WindowPointPick>(pick);
    if (!self || !data || index >= self->Hits().size() || !(self->Data().data.mask & detail))
        return kQ3Failure;
    const WindowPointPick::Hit& hit = self->Hits()[index];
    switch (detail) {
    case kQ3PickDetailMaskPickID:
        *static_cast<TQ3Uns32*>(data) = hit.pickID;
        return kQ3Success;
    case kQ3PickDetailMaskXYZ:
        *static_cast<TQ3Point3D*>(data) = hit.xyz;
        return kQ3Success;
    case kQ3PickDetailMaskDistance:
        *static_cast<float*>(data) = hit.distance;
        return kQ3Success;
    default:
        return kQ3Failure;
    }
}

TQ3Status Q3Pick_EmptyHitList(TQ3PickObject pick)
{
    auto* self = Cast<WindowPointPick>(pick);
    if (!self)
        return kQ3Failure;
    self->EmptyHits();
    return kQ3Success;
}
