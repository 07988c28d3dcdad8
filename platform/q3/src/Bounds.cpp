#include "Bounds.h"
#include "Math.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace q3 {

namespace {

    // The membership tests of the last sphere search, and the share per
    // point allowed, for tests to see its budget at work.
    size_t s_lastSphereTests = 0;
    size_t s_testsPerPoint = 0;

    // Spheres are worked out in double precision and rounded to floats once,
    // at the end.
    struct Vec {
        double x { 0 }, y { 0 }, z { 0 };
        bool operator<(const Vec& o) const { return x != o.x ? x < o.x : y != o.y ? y < o.y : z < o.z; }
        bool operator==(const Vec& o) const { return x == o.x && y == o.y && z == o.z; }
    };

}

template <> inline constexpr bool IsVector<Vec> = true;

namespace {

    struct Sphere {
        Vec centre {};
        double radius { -1 }; // negative: holds nothing

        bool Holds(const Vec& p) const
        {
            // A little slack, so points on the boundary count as inside.
            constexpr double Slack = 1e-9;
            const double reach = radius * (1 + Slack) + Slack;
            return radius >= 0 && Dot(p - centre, p - centre) <= reach * reach;
        }
    };

    // Membership tests allowed: random point sets take some 10 to 50 per
    // point, and small ones vary most.
    constexpr size_t TestsPerPoint = 200;
    constexpr size_t TestsAtLeast = 10000;

    Sphere Through(const Vec& a) { return { a, 0 }; }

    Sphere Through(const Vec& a, const Vec& b)
    {
        const Vec centre = (a + b) * 0.5;
        return { centre, std::sqrt(Dot(a - centre, a - centre)) };
    }

    Sphere Through(const Vec& a, const Vec& b, const Vec& c)
    {
        const Vec ab = b - a, ac = c - a;
        const Vec normal = Cross(ab, ac);
        const double denominator = 2 * Dot(normal, normal);
        // Collinear points: the sphere of the two farthest apart holds the third.
        if (denominator <= 1e-18 * Dot(ab, ab) * Dot(ac, ac) || denominator == 0) {
            Sphere best = Through(a, b);
            for (const Sphere& s : { Through(a, c), Through(b, c) })
                if (s.radius > best.radius)
                    best = s;
            return best;
        }
        const Vec offset = (Cross(normal, ab) * Dot(ac, ac) + Cross(ac, normal) * Dot(ab, ab)) * (1 / denominator);
        return { a + offset, std::sqrt(Dot(offset, offset)) };
    }

    Sphere Through(const Vec& a, const Vec& b, const Vec& c, const Vec& d)
    {
        // The centre x solves 2 (p - a) . x = |p|^2 - |a|^2 for p = b, c, d.
        const Vec u = b - a, v = c - a, w = d - a;
        const double determinant = Dot(u, Cross(v, w));
        if (std::fabs(determinant) <= 1e-12 * std::sqrt(Dot(u, u) * Dot(v, v) * Dot(w, w))) {
            // Coplanar points: the smallest sphere through three that holds the fourth.
            Sphere best;
            for (const Sphere& s : { Through(a, b, c), Through(a, b, d), Through(a, c, d), Through(b, c, d) }) {
                const bool holdsAll = s.Holds(a) && s.Holds(b) && s.Holds(c) && s.Holds(d);
                if (holdsAll && (best.radius < 0 || s.radius < best.radius))
                    best = s;
            }
            return best.radius >= 0 ? best : Through(a, b, c);
        }
        const double uu = Dot(u, u) / 2, vv = Dot(v, v) / 2, ww = Dot(w, w) / 2;
        const Vec offset = (Cross(v, w) * uu + Cross(w, u) * vv + Cross(u, v) * ww) * (1 / determinant);
        return { a + offset, std::sqrt(Dot(offset, offset)) };
    }

    // Welzl's algorithm unrolled into loops: each point found outside
    // becomes a boundary point of the sphere over the points before it. In a
    // random order that is expected linear work. The budget bounds it on any
    // input, should rounding keep spheres from holding their own points; the
    // caller then widens the last sphere to hold them all.
    Sphere Smallest(const std::vector<Vec>& p)
    {
        const size_t allowed = (s_testsPerPoint ? s_testsPerPoint : TestsPerPoint) * p.size() + TestsAtLeast;
        size_t budget = allowed;
        const auto outside = [&budget](const Sphere& sphere, const Vec& point) {
            if (budget == 0)
                return false;
            --budget;
            return !sphere.Holds(point);
        };
        Sphere sphere = Through(p[0]);
        for (size_t i = 1; i < p.size(); ++i) {
            if (!outside(sphere, p[i]))
                continue;
            sphere = Through(p[i]);
            for (size_t j = 0; j < i; ++j) {
                if (!outside(sphere, p[j]))
                    continue;
                sphere = Through(p[i], p[j]);
                for (size_t k = 0; k < j; ++k) {
                    if (!outside(sphere, p[k]))
                        continue;
                    sphere = Through(p[i], p[j], p[k]);
                    for (size_t l = 0; l < k; ++l)
                        if (outside(sphere, p[l]))
                            sphere = Through(p[i], p[j], p[k], p[l]);
                }
            }
        }
        s_lastSphereTests = allowed - budget;
        return sphere;
    }

    std::vector<Vec> Shuffled(std::span<const TQ3Point3D> points)
    {
        std::vector<Vec> all;
        all.reserve(points.size());
        for (const TQ3Point3D& p : points)
            if (IsFinite(p)) // no sphere holds a point at infinity or not a number
                all.push_back({ p.x, p.y, p.z });
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        // A fixed seed keeps the result the same from run to run.
        constexpr unsigned Seed = 0x5EED;
        std::mt19937 random(Seed);
        for (size_t i = all.size(); i > 1; --i)
            std::swap(all[i - 1], all[random() % i]);
        return all;
    }

}

TQ3BoundingBox BoxAround(std::span<const TQ3Point3D> points)
{
    TQ3BoundingBox box {};
    Q3BoundingBox_SetFromPoints3D(&box, points.data(), static_cast<TQ3Uns32>(points.size()), sizeof(TQ3Point3D));
    return box;
}

TQ3BoundingSphere SphereAround(std::span<const TQ3Point3D> points)
{
    TQ3BoundingSphere result {};
    result.isEmpty = kQ3True;
    const std::vector<Vec> p = Shuffled(points);
    if (p.empty())
        return result;
    const Sphere sphere = Smallest(p);
    result.origin = { static_cast<float>(sphere.centre.x), static_cast<float>(sphere.centre.y),
        static_cast<float>(sphere.centre.z) };
    // The radius in floats must still hold every point, measured from the
    // centre in floats: rounding the centre moves it.
    const Vec origin { result.origin.x, result.origin.y, result.origin.z };
    double radius = 0;
    for (const Vec& point : p)
        radius = std::max(radius, std::sqrt(Dot(point - origin, point - origin)));
    result.radius = std::nextafter(static_cast<float>(radius), std::numeric_limits<float>::infinity());
    if (radius == 0)
        result.radius = 0;
    result.isEmpty = kQ3False;
    return result;
}

}

#include "View.h"

#include <new>
#include <vector>

namespace q3 {

namespace {

    // Takes in the world position of every point submitted: a box grows
    // with each, while a sphere needs them all at the end.
    class BoundsPass final : public Pass {
    public:
        explicit BoundsPass(View::Mode mode)
            : mKeepsPoints(mode == View::Mode::BoundingSphere)
        {
        }

        void Mesh(const render::Mesh& mesh, const ViewState& state) override
        {
            // Room for the whole mesh at once, so that one too large for
            // memory fails before its points are copied; growing at least
            // twofold keeps many small meshes linear.
            if (mKeepsPoints && points.capacity() - points.size() < mesh.pointCount)
                points.reserve(std::max(2 * points.capacity(), points.size() + mesh.pointCount));
            for (uint32_t i = 0; i < mesh.pointCount; ++i) {
                const TQ3Point3D point = TransformAffine(mesh.points[i], state.localToWorld);
                if (mKeepsPoints)
                    points.push_back(point);
                else
                    ExtendBox(box, point);
            }
        }

        TQ3BoundingBox box { {}, {}, kQ3True };
        std::vector<TQ3Point3D> points {};

    private:
        bool mKeepsPoints { false };
    };

    TQ3Status StartBounding(TQ3ViewObject view, TQ3ComputeBounds computeBounds, View::Mode mode)
    {
        auto* self = Cast<View>(view);
        if (!self || computeBounds > kQ3ComputeBoundsApproximate)
            return kQ3Failure;
        // Approximate bounds are computed exactly too.
        self->Start(mode, std::make_unique<BoundsPass>(mode));
        return kQ3Success;
    }

    BoundsPass* EndBounding(TQ3ViewObject view, View::Mode mode, std::unique_ptr<Pass>& pass)
    {
        auto* self = Cast<View>(view);
        pass = self ? self->End(mode) : nullptr;
        return static_cast<BoundsPass*>(pass.get());
    }

}

}

using namespace q3;

TQ3Status Q3View_StartBoundingBox(TQ3ViewObject view, TQ3ComputeBounds computeBounds)
{
    return StartBounding(view, computeBounds, View::Mode::BoundingBox);
}

TQ3ViewStatus Q3View_EndBoundingBox(TQ3ViewObject view, TQ3BoundingBox* result)
{
    std::unique_ptr<Pass> pass;
    BoundsPass* bounds = EndBounding(view, View::Mode::BoundingBox, pass);
    if (!bounds || !result)
        return kQ3ViewStatusError;
    *result = bounds->box;
    return kQ3ViewStatusDone;
}

TQ3Status Q3View_StartBoundingSphere(TQ3ViewObject view, TQ3ComputeBounds computeBounds)
{
    return StartBounding(view, computeBounds, View::Mode::BoundingSphere);
}

TQ3ViewStatus Q3View_EndBoundingSphere(TQ3ViewObject view, TQ3BoundingSphere* result)
{
    std::unique_ptr<Pass> pass;
    BoundsPass* bounds = EndBounding(view, View::Mode::BoundingSphere, pass);
    if (!bounds || !result)
        return kQ3ViewStatusError;
    // A sphere of points that did not all fit in memory, or whose search
    // itself does not fit, is empty: the bound is not known.
    *result = { {}, 0, kQ3True };
    if (bounds->outOfMemory)
        return kQ3ViewStatusError;
    try {
        *result = SphereAround(bounds->points);
    } catch (const std::bad_alloc&) {
        PostError(kQ3ErrorOutOfMemory);
        return kQ3ViewStatusError;
    }
    return kQ3ViewStatusDone;
}

TQ3Uns32 Q3Debug_LastSphereTests(void) { return static_cast<TQ3Uns32>(q3::s_lastSphereTests); }

void Q3Debug_SetSphereTestsPerPoint(TQ3Uns32 tests) { q3::s_testsPerPoint = tests; }
