#include "Pick.h"

#include "Bounds.h"
#include "Camera.h"
#include "DrawContext.h"
#include "View.h"

#include <algorithm>
#include <cmath>

namespace q3 {

std::span<const TQ3ObjectType> WindowPointPick::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypePick, kQ3PickTypeWindowPoint };
    return chain;
}

void WindowPointPick::Finish()
{
    const auto nearer = [](const Hit& a, const Hit& b) { return a.distance < b.distance; };
    if (mData.data.sort == kQ3PickSortNearToFar)
        std::stable_sort(mHits.begin(), mHits.end(), nearer);
    else if (mData.data.sort == kQ3PickSortFarToNear)
        std::stable_sort(mHits.begin(), mHits.end(), [&](const Hit& a, const Hit& b) { return nearer(b, a); });
    if (mData.data.numHitsToReturn > 0 && mHits.size() > mData.data.numHitsToReturn)
        mHits.resize(mData.data.numHitsToReturn);
}

namespace {

    // Tests each submitted triangle against the ray from the eye through the
    // picked pixel, exactly, in world coordinates.
    class PickPass final : public Pass {
    public:
        PickPass(WindowPointPick& pick, TQ3Point3D eye, TQ3Point3D nearPoint, TQ3Point3D farPoint)
            : mPick(&pick)
            , mEye(eye)
            , mOrigin(nearPoint)
            , mDirection(farPoint - nearPoint)
        {
        }

        void Mesh(const render::Mesh& mesh, const ViewState& state) override
        {
            if (!MayShow(BoxAround({ mesh.points, mesh.pointCount }), state))
                return;
            // Each point once, as points are shared by several triangles.
            mWorld.resize(mesh.pointCount);
            for (uint32_t i = 0; i < mesh.pointCount; ++i)
                mWorld[i] = TransformAffine(mesh.points[i], state.localToWorld);
            for (uint32_t t = 0; t < mesh.triangleCount; ++t) {
                const uint32_t* corners = mesh.triangles[t];
                if (corners[0] >= mesh.pointCount || corners[1] >= mesh.pointCount || corners[2] >= mesh.pointCount)
                    continue;
                Test(mWorld[corners[0]], mWorld[corners[1]], mWorld[corners[2]], state);
            }
        }

        // Whether the ray can meet a mesh inside the box at all: it must
        // cross the world box around the local one, widened by a margin far
        // larger than the rounding of the triangle test, so that only meshes
        // the ray clearly passes by are skipped. A box without points holds
        // no triangle that can be hit (one with a corner that is not finite
        // never is); anything else not finite is tested.
        bool MayShow(const TQ3BoundingBox& box, const ViewState& state) const override
        {
            if (box.isEmpty)
                return false;
            const TQ3Matrix4x4& localToWorld = state.localToWorld;
            const TQ3Point3D& low = box.min;
            const TQ3Point3D& high = box.max;
            // The box's centre moves with the matrix; its half size grows by
            // the absolute values of the matrix's linear part.
            const TQ3Point3D centre
                = TransformAffine({ (low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2 }, localToWorld);
            const float half[3] = { (high.x - low.x) / 2, (high.y - low.y) / 2, (high.z - low.z) / 2 };
            const float middle[3] = { centre.x, centre.y, centre.z };
            const float origin[3] = { mOrigin.x, mOrigin.y, mOrigin.z };
            const float direction[3] = { mDirection.x, mDirection.y, mDirection.z };
            float extent[3] = { 0, 0, 0 }, scale = 0;
            for (int axis = 0; axis < 3; ++axis) {
                for (int row = 0; row < 3; ++row)
                    extent[axis] += std::fabs(localToWorld.value[row][axis]) * half[row];
                scale = std::max({ scale, std::fabs(middle[axis]) + extent[axis], std::fabs(origin[axis]),
                    std::fabs(origin[axis] + direction[axis]) });
            }
            if (!std::isfinite(scale))
                return true;
            const float margin = CullMargin * scale;
            float enter = -CullMargin, leave = 1 + CullMargin;
            for (int axis = 0; axis < 3; ++axis) {
                const float lowest = middle[axis] - extent[axis] - margin;
                const float highest = middle[axis] + extent[axis] + margin;
                if (direction[axis] == 0) {
                    if (origin[axis] < lowest || origin[axis] > highest)
                        return false;
                    continue;
                }
                float first = (lowest - origin[axis]) / direction[axis];
                float second = (highest - origin[axis]) / direction[axis];
                if (first > second)
                    std::swap(first, second);
                enter = std::max(enter, first);
                leave = std::min(leave, second);
                if (enter > leave)
                    return false;
            }
            return true;
        }

        Ref<> pickReference {};

    private:
        void Test(const TQ3Point3D& a, const TQ3Point3D& b, const TQ3Point3D& c, const ViewState& state)
        {
            // Moeller-Trumbore: the ray point origin + s * direction, s in
            // [0, 1] from hither to yon, against the triangle's plane.
            const TQ3Vector3D edge1 = b - a, edge2 = c - a;
            // Counter-clockwise as the eye sees it is the front.
            const bool backFacing = Dot(Cross(edge1, edge2), a - mEye) >= 0;
            if (backFacing && state.backfacing == kQ3BackfacingStyleRemove)
                return;
            const TQ3Vector3D p = Cross(mDirection, edge2);
            const float determinant = Dot(edge1, p);
            if (determinant == 0 || !std::isfinite(determinant))
                return;
            const float inverse = 1 / determinant;
            const TQ3Vector3D toOrigin = mOrigin - a;
            const float u = Dot(toOrigin, p) * inverse;
            if (u < 0 || u > 1)
                return;
            const TQ3Vector3D q = Cross(toOrigin, edge1);
            const float v = Dot(mDirection, q) * inverse;
            if (v < 0 || u + v > 1)
                return;
            const float s = Dot(edge2, q) * inverse;
            if (s < 0 || s > 1)
                return;
            const TQ3Point3D hit = mOrigin + mDirection * s;
            const TQ3Vector3D fromEye = hit - mEye;
            mPick->AddHit({ state.pickID, hit, std::sqrt(Dot(fromEye, fromEye)) });
        }

        // A share of the scene's size, and of the ray's length.
        static constexpr float CullMargin = 1e-3f;

        WindowPointPick* mPick { nullptr };
        std::vector<TQ3Point3D> mWorld {};
        TQ3Point3D mEye {};
        TQ3Point3D mOrigin {};
        TQ3Vector3D mDirection {};
    };

    // A pass that finds nothing: the camera sees nothing or the point lies
    // outside the pane.
    class EmptyPass final : public Pass {
    public:
        void Mesh(const render::Mesh&, const ViewState&) override { }
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

using namespace q3;

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
