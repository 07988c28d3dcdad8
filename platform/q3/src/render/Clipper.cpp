#include "Clipper.h"

#include "Tunables.h"

#include <cmath>

namespace q3::render {

namespace {

    // The planes, each as a signed distance that is positive inside. Visible
    // frustum space is -w <= x, y <= w and -w <= z <= 0; the sides are widened by
    // the guard band, and w stays above MinimumW.
    enum Plane { Near, Far, Left, Right, Bottom, Top, EyePlane, PlaneCount };

    float Distance(const ClipVertex& v, int plane)
    {
        switch (plane) {
        case Near:
            return -v.z;
        case Far:
            return v.z + v.w;
        case Left:
            return v.x + GuardBand * v.w;
        case Right:
            return GuardBand * v.w - v.x;
        case Bottom:
            return v.y + GuardBand * v.w;
        case Top:
            return GuardBand * v.w - v.y;
        default:
            return v.w - MinimumW;
        }
    }

    ClipVertex Interpolate(const ClipVertex& a, const ClipVertex& b, float t)
    {
        auto mix = [t](float p, float q) { return p + (q - p) * t; };
        ClipVertex result { mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w), {} };
        for (int i = 0; i < VaryingCount; ++i)
            result.varyings[i] = mix(a.varyings[i], b.varyings[i]);
        return result;
    }

    // The point where the edge from a (inside) to b (outside), or the reverse,
    // crosses the plane. Always interpolating from the inside vertex makes a
    // shared edge split the same way in both triangles.
    ClipVertex Crossing(const ClipVertex& a, float distanceA, const ClipVertex& b, float distanceB)
    {
        if (distanceA >= 0)
            return Interpolate(a, b, distanceA / (distanceA - distanceB));
        return Interpolate(b, a, distanceB / (distanceB - distanceA));
    }

}

Outcode ComputeOutcode(const ClipVertex& vertex)
{
    if (!std::isfinite(vertex.x) || !std::isfinite(vertex.y) || !std::isfinite(vertex.z) || !std::isfinite(vertex.w))
        return Unusable;
    Outcode code = 0;
    for (int plane = 0; plane < PlaneCount; ++plane) {
        if (Distance(vertex, plane) < 0)
            code |= 1u << plane;
    }
    return code;
}

int Clipper::ClipPolygon(Polygon& polygon, int count, Outcode planes)
{
    Polygon output;
    for (int plane = 0; plane < PlaneCount && count > 0; ++plane) {
        if (!(planes & (1u << plane)))
            continue;
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& current = polygon[i];
            const ClipVertex& next = polygon[(i + 1) % count];
            float d0 = Distance(current, plane), d1 = Distance(next, plane);
            // Each plane adds at most one vertex to a convex polygon, so the
            // output never outgrows the array.
            if (d0 >= 0)
                output[kept++] = current;
            if ((d0 >= 0) != (d1 >= 0))
                output[kept++] = Crossing(current, d0, next, d1);
        }
        polygon = output;
        count = kept < 3 ? 0 : kept;
    }
    return count;
}

bool Clipper::ClipSegment(ClipVertex& a, ClipVertex& b, Outcode planes)
{
    for (int plane = 0; plane < PlaneCount; ++plane) {
        if (!(planes & (1u << plane)))
            continue;
        float da = Distance(a, plane), db = Distance(b, plane);
        if (da < 0 && db < 0)
            return false;
        if (da < 0)
            a = Crossing(a, da, b, db);
        else if (db < 0)
            b = Crossing(a, da, b, db);
    }
    return true;
}

}
