#include "render/Clipper.h"
#include "render/Tunables.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace q3::render;

namespace {

ClipVertex At(float x, float y, float z, float w, float red = 0)
{
    ClipVertex vertex { x, y, z, w, {} };
    vertex.varyings[Red] = red;
    return vertex;
}

Outcode Planes(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c)
{
    return ComputeOutcode(a) | ComputeOutcode(b) | ComputeOutcode(c);
}

}

TEST(Clipper, TriangleInsideIsLeftAlone)
{
    ClipVertex a = At(0, 0, -0.5f, 1), b = At(1, 0, -0.5f, 1), c = At(0, 1, -0.5f, 1);
    EXPECT_EQ(Planes(a, b, c), 0u);
}

TEST(Clipper, TriangleCrossingNearPlaneIsClipped)
{
    // One corner behind the eye (w < 0, z > 0), two in front.
    Clipper::Polygon polygon { At(0, 0, 0.5f, -1, 1), At(-1, 0, -0.5f, 2, 0), At(1, 0, -0.5f, 2, 0) };
    int count = Clipper::ClipPolygon(polygon, 3, Planes(polygon[0], polygon[1], polygon[2]));
    ASSERT_EQ(count, 4);
    for (int i = 0; i < count; ++i) {
        EXPECT_LE(polygon[i].z, 1e-6f) << i;
        EXPECT_GT(polygon[i].w, 0) << i;
        EXPECT_EQ(ComputeOutcode(polygon[i]) & ~1u, 0u) << i;
        // The varyings follow the position: the near plane lies halfway
        // between the front corners, whose red is 0, and the back one's 1.
        EXPECT_NEAR(polygon[i].varyings[Red], polygon[i].z == -0.5f ? 0.0f : 0.5f, 1e-5f) << i;
    }
}

TEST(Clipper, TriangleBehindTheEyeVanishes)
{
    Clipper::Polygon polygon { At(0, 0, 0.5f, -1), At(1, 0, 0.5f, -1), At(0, 1, 0.5f, -1) };
    Outcode planes = Planes(polygon[0], polygon[1], polygon[2]);
    EXPECT_NE(ComputeOutcode(polygon[0]) & ComputeOutcode(polygon[1]) & ComputeOutcode(polygon[2]), 0u);
    EXPECT_EQ(Clipper::ClipPolygon(polygon, 3, planes), 0);
}

TEST(Clipper, SidesAreClippedAtTheGuardBand)
{
    Clipper::Polygon polygon { At(-100, 0, -0.5f, 1), At(100, -1, -0.5f, 1), At(100, 1, -0.5f, 1) };
    int count = Clipper::ClipPolygon(polygon, 3, Planes(polygon[0], polygon[1], polygon[2]));
    ASSERT_GE(count, 3);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(ComputeOutcode(polygon[i]), 0u) << i;
}

TEST(Clipper, SegmentIsCutAtThePlanes)
{
    ClipVertex a = At(0, 0, 1, 1, 0), b = At(0, 0, -1, 1, 1);
    ASSERT_TRUE(Clipper::ClipSegment(a, b, ComputeOutcode(a) | ComputeOutcode(b)));
    EXPECT_NEAR(a.z, 0, 1e-6f);
    EXPECT_NEAR(a.varyings[Red], 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(b.z, -1);
    ClipVertex c = At(0, 0, 1, 1), d = At(0, 0, 2, 1);
    EXPECT_FALSE(Clipper::ClipSegment(c, d, ComputeOutcode(c) | ComputeOutcode(d)));
}

TEST(Clipper, SegmentEndingJustInsideKeepsItsEnd)
{
    // A wire from far past a side of the view, or from behind the eye, to
    // just inside the view: the end inside stays exactly where it is, in
    // either order, and the other end comes in onto the plane it crossed,
    // its distance outside that plane given by `beyond`.
    const struct {
        const char* name;
        ClipVertex outside;
        ClipVertex inside;
        float (*beyond)(const ClipVertex&);
    } rows[] = {
        { "past the right side", At(40, 0, -0.5f, 1, 1), At(0.999f, 0, -0.5f, 1),
            [](const ClipVertex& v) { return v.x - GuardBand * v.w; } },
        { "past the top", At(0, 40, -0.5f, 1, 1), At(0, 0.999f, -0.5f, 1),
            [](const ClipVertex& v) { return v.y - GuardBand * v.w; } },
        { "behind the eye", At(0.5f, 0.5f, 0.5f, -1, 1), At(0.5f, 0.5f, -0.001f, 1),
            [](const ClipVertex& v) { return v.z; } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(ComputeOutcode(row.inside), 0u);
        for (bool insideFirst : { false, true }) {
            ClipVertex a = insideFirst ? row.inside : row.outside, b = insideFirst ? row.outside : row.inside;
            ASSERT_TRUE(Clipper::ClipSegment(a, b, ComputeOutcode(a) | ComputeOutcode(b)));
            const ClipVertex& kept = insideFirst ? a : b;
            const ClipVertex& cut = insideFirst ? b : a;
            EXPECT_EQ(kept.x, row.inside.x);
            EXPECT_EQ(kept.y, row.inside.y);
            EXPECT_EQ(kept.z, row.inside.z);
            EXPECT_EQ(kept.w, row.inside.w);
            EXPECT_EQ(kept.varyings[Red], 0);
            EXPECT_NEAR(row.beyond(cut), 0, 1e-4f);
            EXPECT_GT(cut.varyings[Red], 0);
            EXPECT_LT(cut.varyings[Red], 1);
        }
    }
}

TEST(Clipper, NonFiniteCoordinatesAreUnusable)
{
    EXPECT_EQ(ComputeOutcode(At(std::nanf(""), 0, -0.5f, 1)), Unusable);
    EXPECT_EQ(ComputeOutcode(At(0, 0, -0.5f, INFINITY)), Unusable);
}
