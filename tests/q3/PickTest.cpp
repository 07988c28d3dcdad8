#include "SceneFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

class Picking : public testing::Test {
protected:
    void SetUp() override
    {
        mStart = Q3Object_LiveCount();
        camera = fixtures::Camera();
        view = fixtures::View(pixels.data(), Size, Size, camera);
    }
    void TearDown() override
    {
        Q3Object_Dispose(view);
        Q3Object_Dispose(camera);
        EXPECT_EQ(Q3Object_LiveCount(), mStart);
    }

    struct Hit {
        TQ3Uns32 count { 0 };
        TQ3Uns32 id { 0 };
        TQ3Point3D xyz { 0, 0, 0 };
    };

    // Picks at a window point, submitting with `submit` inside the loop.
    template <typename Submit> Hit PickAt(float x, float y, Submit submit, TQ3PickSort sort = kQ3PickSortNearToFar)
    {
        TQ3WindowPointPickData data {};
        data.data = { sort, kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ, 1 };
        data.point = { x, y };
        data.vertexTolerance = data.edgeTolerance = 2;
        TQ3PickObject pick = Q3WindowPointPick_New(&data);
        EXPECT_EQ(Q3View_StartPicking(view, pick), kQ3Success);
        do {
            Q3BackfacingStyle_Submit(kQ3BackfacingStyleRemove, view);
            submit();
        } while (Q3View_EndPicking(view) == kQ3ViewStatusRetraverse);
        Hit hit;
        Q3Pick_GetNumHits(pick, &hit.count);
        if (hit.count > 0) {
            TQ3PickDetail mask = 0;
            Q3Pick_GetPickDetailValidMask(pick, 0, &mask);
            EXPECT_EQ(mask, kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ);
            Q3Pick_GetPickDetailData(pick, 0, kQ3PickDetailMaskPickID, &hit.id);
            Q3Pick_GetPickDetailData(pick, 0, kQ3PickDetailMaskXYZ, &hit.xyz);
        }
        Q3Pick_EmptyHitList(pick);
        Q3Object_Dispose(pick);
        return hit;
    }

    void SubmitQuad(TQ3Uns32 id, fixtures::Quad& quad, TQ3Vector3D offset = { 0, 0, 0 })
    {
        Q3Push_Submit(view);
        Q3TranslateTransform_Submit(&offset, view);
        Q3PickIDStyle_Submit(id, view);
        Q3TriMesh_Submit(&quad.data, view);
        Q3Pop_Submit(view);
    }

    static constexpr TQ3Uns32 Size = 64;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(Size * Size);
    TQ3CameraObject camera { nullptr };
    TQ3ViewObject view { nullptr };

private:
    TQ3Uns32 mStart { 0 };
};

}

TEST_F(Picking, NearestOfTwoOverlappingMeshesWithItsWorldPoint)
{
    fixtures::Quad back(4), front(2);
    // The far quad is submitted last so that submission order cannot decide.
    const auto both = [&] {
        SubmitQuad(7, front, { 0, 0, 2 });
        SubmitQuad(9, back);
    };
    const Hit hit = PickAt(32, 32, both);
    ASSERT_EQ(hit.count, 1u);
    EXPECT_EQ(hit.id, 7u);
    EXPECT_EQ(PickAt(32, 32, both, kQ3PickSortFarToNear).id, 9u);
    EXPECT_NEAR(hit.xyz.z, 2, 1e-4f);
    // Pixel 32's centre lies half a pixel right of and below the axis.
    EXPECT_GT(hit.xyz.x, 0);
    EXPECT_LT(hit.xyz.y, 0);
    // At distance 8 the view is 16 wide, so half a pixel is 0.125.
    EXPECT_NEAR(hit.xyz.x, 0.125f, 1e-4f);
}

TEST_F(Picking, PointBesideTheMeshMisses)
{
    fixtures::Quad quad(1);
    EXPECT_EQ(PickAt(2, 2, [&] { SubmitQuad(1, quad); }).count, 0u);
    EXPECT_EQ(PickAt(500, 32, [&] { SubmitQuad(1, quad); }).count, 0u);
    // A point on the mesh's very edge, which rounding could put on either side, is on it.
    EXPECT_EQ(PickAt(28, 32, [&] { SubmitQuad(1, quad, { -0.125f, 0, 0 }); }).count, 1u);
}

TEST_F(Picking, BackFacesUnderRemoveAreNotHit)
{
    fixtures::Quad quad(4);
    // Turned half round about Y, the quad shows its back to the camera.
    const TQ3Vector3D axis { 0, 1, 0 };
    TQ3Quaternion turn;
    Q3Quaternion_SetRotateAboutAxis(&turn, &axis, 2 * fixtures::QuarterTurn);
    const auto submitTurned = [&] {
        Q3Push_Submit(view);
        Q3QuaternionTransform_Submit(&turn, view);
        Q3PickIDStyle_Submit(3, view);
        Q3TriMesh_Submit(&quad.data, view);
        Q3Pop_Submit(view);
    };
    EXPECT_EQ(PickAt(32, 32, submitTurned).count, 0u);
    const Hit flipped = PickAt(32, 32, [&] {
        Q3BackfacingStyle_Submit(kQ3BackfacingStyleFlip, view);
        submitTurned();
    });
    EXPECT_EQ(flipped.count, 1u);
    EXPECT_EQ(flipped.id, 3u);
}

TEST_F(Picking, ScaledGeometryPicksWhereItIsDrawn)
{
    // A unit quad scaled to half size leaves pixel (4, 32) uncovered.
    fixtures::Quad quad(8);
    const TQ3Vector3D half { 0.5f, 0.5f, 0.5f };
    const auto submit = [&] {
        Q3ScaleTransform_Submit(&half, view);
        Q3PickIDStyle_Submit(5, view);
        Q3TriMesh_Submit(&quad.data, view);
    };
    EXPECT_EQ(PickAt(4, 32, submit).count, 0u);
    EXPECT_EQ(PickAt(20, 32, submit).id, 5u);
}

TEST_F(Picking, CornersOutOfRangeAreSkipped)
{
    fixtures::Quad quad(4);
    quad.triangles[0].pointIndices[1] = 1000;
    quad.triangles[1].pointIndices[2] = 4;
    EXPECT_EQ(PickAt(32, 32, [&] { SubmitQuad(1, quad); }).count, 0u);
}

TEST_F(Picking, NothingIsHitWithoutACameraThatSees)
{
    TQ3CameraRange degenerate { 10, 10 };
    Q3Camera_SetRange(camera, &degenerate);
    fixtures::Quad quad(4);
    EXPECT_EQ(PickAt(32, 32, [&] { SubmitQuad(1, quad); }).count, 0u);
}

TEST_F(Picking, SkippingMeshesTheRayPassesByNeverLosesAHit)
{
    // Picking skips a mesh whose box the ray misses. A far point that no
    // triangle uses widens the box so that nothing is skipped, and must not
    // change a single pick, even at edges that lie exactly on pixel rays: at
    // distance 10 a pixel is 10/32 wide, so 75/32 is pixel 39's centre.
    fixtures::Quad quad(75.0f / 32);
    fixtures::Quad widened(75.0f / 32);
    std::array<TQ3Point3D, 5> points {};
    std::copy(widened.points.begin(), widened.points.end(), points.begin());
    points[4] = { -40, 30, -50 };
    widened.data.points = points.data();
    widened.data.numPoints = 5;
    std::array<TQ3Param2D, 5> uvs {};
    widened.uvAttribute.data = uvs.data();

    const TQ3Vector3D axis { 0.2f, 0.3f, 1 }, offset { 0.4f, -0.3f, 1 }, stretch { 3, 0.25f, 2 };
    TQ3Quaternion turn;
    Q3Quaternion_SetRotateAboutAxis(&turn, &axis, 1);
    const auto placed = [&](fixtures::Quad& mesh, bool turned) {
        return [&, turned] {
            Q3Push_Submit(view);
            if (turned) {
                Q3TranslateTransform_Submit(&offset, view);
                Q3QuaternionTransform_Submit(&turn, view);
                Q3ScaleTransform_Submit(&stretch, view);
            }
            Q3PickIDStyle_Submit(1, view);
            Q3TriMesh_Submit(&mesh.data, view);
            Q3Pop_Submit(view);
        };
    };
    for (bool turned : { false, true }) {
        int hits = 0, differences = 0;
        for (TQ3Uns32 y = 0; y < Size; ++y) {
            for (TQ3Uns32 x = 0; x < Size; ++x) {
                const Hit plain = PickAt(float(x), float(y), placed(quad, turned));
                const Hit wide = PickAt(float(x), float(y), placed(widened, turned));
                hits += int(plain.count);
                differences += plain.count != wide.count || plain.xyz.x != wide.xyz.x || plain.xyz.y != wide.xyz.y
                    || plain.xyz.z != wide.xyz.z;
            }
        }
        EXPECT_GT(hits, 100) << (turned ? "turned" : "square");
        EXPECT_EQ(differences, 0) << (turned ? "turned" : "square");
    }
}

TEST_F(Picking, OnlyBoxesThePickCanReachAreVisible)
{
    // Pixel 32's ray runs from hither (z = 9) to yon (z = -90) close to the z axis.
    const auto box = [](TQ3Point3D min, TQ3Point3D max) { return TQ3BoundingBox { min, max, kQ3False }; };
    const TQ3BoundingBox onTheRay = box({ -1, -1, -1 }, { 1, 1, 1 });
    const TQ3BoundingBox beside = box({ 5, 5, -1 }, { 6, 6, 1 });
    const TQ3BoundingBox behindTheEye = box({ -1, -1, 20 }, { 1, 1, 22 });
    const TQ3BoundingBox beyondYon = box({ -1, -1, -200 }, { 1, 1, -198 });
    const TQ3BoundingBox empty { onTheRay.min, onTheRay.max, kQ3True };
    const TQ3Vector3D ontoTheRay { -5.5f, -5.5f, 0 };
    std::vector<TQ3Boolean> seen;
    PickAt(32, 32, [&] {
        for (const TQ3BoundingBox* b : { &onTheRay, &beside, &behindTheEye, &beyondYon, &empty })
            seen.push_back(Q3View_IsBoundingBoxVisible(view, b));
        // The box is placed by the transforms in force.
        Q3TranslateTransform_Submit(&ontoTheRay, view);
        seen.push_back(Q3View_IsBoundingBoxVisible(view, &beside));
    });
    EXPECT_EQ(seen, (std::vector<TQ3Boolean> { kQ3True, kQ3False, kQ3False, kQ3False, kQ3False, kQ3True }));

    // Outside picking anything may show; without a view or a box nothing does.
    EXPECT_EQ(Q3View_IsBoundingBoxVisible(view, &beside), kQ3True);
    ASSERT_EQ(Q3View_StartRendering(view), kQ3Success);
    EXPECT_EQ(Q3View_IsBoundingBoxVisible(view, &beside), kQ3True);
    EXPECT_EQ(Q3View_EndRendering(view), kQ3ViewStatusDone);
    EXPECT_EQ(Q3View_IsBoundingBoxVisible(nullptr, &beside), kQ3False);
    EXPECT_EQ(Q3View_IsBoundingBoxVisible(view, nullptr), kQ3False);
}
