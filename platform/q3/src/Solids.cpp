#include "Solids.h"

#include "AttributeSet.h"
#include "Math.h"
#include "View.h"

#include <cmath>

namespace q3 {

namespace {

    constexpr int Segments = 32;
    constexpr float TwoPi = 6.28318530717959f;

    // Triangles of one part, wound counter-clockwise seen from outside.
    struct Tessellation {
        std::vector<TQ3Point3D> points {};
        std::vector<TQ3Vector3D> normals {};
        std::vector<TQ3Param2D> uvs {};
        std::vector<std::array<uint32_t, 3>> triangles {};

        uint32_t Add(const TQ3Point3D& p, const TQ3Vector3D& n, TQ3Param2D uv)
        {
            points.push_back(p);
            normals.push_back(Normalized(n));
            uvs.push_back(uv);
            return static_cast<uint32_t>(points.size() - 1);
        }
        void Triangle(uint32_t a, uint32_t b, uint32_t c, bool flip)
        {
            triangles.push_back(flip ? std::array<uint32_t, 3> { a, c, b } : std::array<uint32_t, 3> { a, b, c });
        }
        render::Mesh Mesh() const
        {
            render::Mesh mesh;
            mesh.points = points.data();
            mesh.pointCount = static_cast<uint32_t>(points.size());
            mesh.triangles = reinterpret_cast<const uint32_t(*)[3]>(triangles.data());
            mesh.triangleCount = static_cast<uint32_t>(triangles.size());
            mesh.vertexNormals = normals.data();
            mesh.vertexUVs = uvs.data();
            return mesh;
        }
    };

    // A parallelogram at `corner` spanned by u and v, facing u x v.
    void Quad(Tessellation& part, const TQ3Point3D& corner, const TQ3Vector3D& u, const TQ3Vector3D& v, bool flip)
    {
        const TQ3Vector3D normal = Cross(u, v) * (flip ? -1.0f : 1.0f);
        const uint32_t a = part.Add(corner, normal, { 0, 0 });
        const uint32_t b = part.Add(corner + u, normal, { 1, 0 });
        const uint32_t c = part.Add(corner + u + v, normal, { 1, 1 });
        const uint32_t d = part.Add(corner + v, normal, { 0, 1 });
        part.Triangle(a, b, c, flip);
        part.Triangle(a, c, d, flip);
    }

    TQ3Vector3D Radial(const Solid::Shape& s, float angle)
    {
        return s.majorAxis * std::cos(angle) + s.minorAxis * std::sin(angle);
    }

    // A disc around `centre`, facing along the axis or against it.
    Tessellation Disc(const Solid::Shape& s, const TQ3Point3D& centre, bool facingAxis, bool flip)
    {
        Tessellation part;
        const TQ3Vector3D normal = s.orientation * (facingAxis ? 1.0f : -1.0f);
        const uint32_t middle = part.Add(centre, normal, { 0.5f, 0.5f });
        for (int i = 0; i <= Segments; ++i) {
            const float angle = TwoPi * i / Segments;
            part.Add(centre + Radial(s, angle), normal, { 0.5f + std::cos(angle) / 2, 0.5f + std::sin(angle) / 2 });
        }
        for (uint32_t i = 1; i <= Segments; ++i)
            part.Triangle(middle, facingAxis ? i : i + 1, facingAxis ? i + 1 : i, flip);
        return part;
    }

    // The side between the base ring and the top ring, or the apex for a cone.
    Tessellation Side(const Solid::Shape& s, bool cone, bool flip)
    {
        Tessellation part;
        for (int i = 0; i <= Segments; ++i) {
            const float angle = TwoPi * i / Segments;
            const float u = static_cast<float>(i) / Segments;
            const TQ3Vector3D out = Radial(s, angle);
            part.Add(s.origin + out, out, { u, 0 });
            part.Add(s.origin + (cone ? TQ3Vector3D {} : out) + s.orientation, out, { u, 1 });
        }
        for (uint32_t i = 0; i < Segments; ++i) {
            const uint32_t bottom = 2 * i, top = 2 * i + 1, nextBottom = 2 * i + 2, nextTop = 2 * i + 3;
            part.Triangle(bottom, nextBottom, nextTop, flip);
            if (!cone)
                part.Triangle(bottom, nextTop, top, flip);
        }
        return part;
    }

}

std::span<const TQ3ObjectType> Solid::TypeChain() const
{
    static constexpr TQ3ObjectType box[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeGeometry, kQ3GeometryTypeBox };
    static constexpr TQ3ObjectType cone[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeGeometry, kQ3GeometryTypeCone };
    static constexpr TQ3ObjectType cylinder[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeGeometry, kQ3GeometryTypeCylinder };
    if (mKind == Kind::Cone)
        return cone;
    if (mKind == Kind::Cylinder)
        return cylinder;
    return box;
}

TQ3Status Solid::Submit(View& view)
{
    // Left-handed axes turn every triangle inside out; the flip restores them.
    const Shape& s = mShape;
    const bool flip = Dot(Cross(s.majorAxis, s.minorAxis), s.orientation) < 0;
    std::vector<Tessellation> parts;
    if (mKind == Kind::Box) {
        // Each face's two edges, in this order, turn into the box: the
        // opposite flip faces them out of it.
        const TQ3Point3D o = s.origin;
        const bool out = !flip;
        Quad(parts.emplace_back(), o, s.orientation, s.majorAxis, out);
        Quad(parts.emplace_back(), o + s.minorAxis, s.majorAxis, s.orientation, out);
        Quad(parts.emplace_back(), o, s.minorAxis, s.orientation, out);
        Quad(parts.emplace_back(), o + s.majorAxis, s.orientation, s.minorAxis, out);
        Quad(parts.emplace_back(), o, s.majorAxis, s.minorAxis, out);
        Quad(parts.emplace_back(), o + s.orientation, s.minorAxis, s.majorAxis, out);
    } else {
        const bool cone = mKind == Kind::Cone;
        parts.push_back(Side(s, cone, flip));
        parts.push_back(Disc(s, s.origin, false, flip));
        if (!cone)
            parts.push_back(Disc(s, s.origin + s.orientation, true, flip));
    }
    // Each part inherits the geometry's attributes and may override them.
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!view.Push())
            return kQ3Failure;
        if (auto* set = static_cast<AttributeSet*>(Attributes()))
            view.ApplyAttributes(*set);
        view.SubmitMesh(parts[i].Mesh(), PartAttributes(static_cast<int>(i)));
        view.Pop();
    }
    return kQ3Success;
}

}

using namespace q3;

namespace {

Solid* SolidOf(TQ3GeometryObject geometry, Solid::Kind kind)
{
    auto* self = Cast<Geometry>(geometry);
    if (!self)
        return nullptr;
    if (!self->IsType(kQ3GeometryTypeBox) && !self->IsType(kQ3GeometryTypeCone)
        && !self->IsType(kQ3GeometryTypeCylinder)) {
        PostError(kQ3ErrorInvalidObjectType);
        return nullptr;
    }
    auto* solid = static_cast<Solid*>(self);
    if (solid->SolidKind() != kind) {
        PostError(kQ3ErrorInvalidObjectType);
        return nullptr;
    }
    return solid;
}

TQ3Status GetPart(TQ3GeometryObject geometry, Solid::Kind kind, TQ3Uns32 part, TQ3AttributeSet* set)
{
    auto* self = SolidOf(geometry, kind);
    if (!set)
        return kQ3Failure;
    *set = nullptr;
    if (!self || part >= static_cast<TQ3Uns32>(self->PartCount()))
        return kQ3Failure;
    *set = Q3Shared_GetReference(self->PartAttributes(static_cast<int>(part)));
    return kQ3Success;
}

TQ3Status SetPart(TQ3GeometryObject geometry, Solid::Kind kind, TQ3Uns32 part, TQ3AttributeSet set)
{
    auto* self = SolidOf(geometry, kind);
    if (!self || part >= static_cast<TQ3Uns32>(self->PartCount()) || (set && !Cast<AttributeSet>(set)))
        return kQ3Failure;
    self->SetPartAttributes(static_cast<int>(part), set);
    return kQ3Success;
}

}

TQ3Status Q3Geometry_GetAttributeSet(TQ3GeometryObject geometry, TQ3AttributeSet* set)
{
    auto* self = Cast<Geometry>(geometry);
    if (!set)
        return kQ3Failure;
    *set = self ? Q3Shared_GetReference(self->Attributes()) : nullptr;
    return self ? kQ3Success : kQ3Failure;
}

TQ3Status Q3Geometry_SetAttributeSet(TQ3GeometryObject geometry, TQ3AttributeSet set)
{
    auto* self = Cast<Geometry>(geometry);
    if (!self || (set && !Cast<AttributeSet>(set)))
        return kQ3Failure;
    self->SetAttributes(set);
    return kQ3Success;
}

TQ3Status Q3Box_GetFaceAttributeSet(TQ3GeometryObject box, TQ3Uns32 face, TQ3AttributeSet* set)
{
    return GetPart(box, Solid::Kind::Box, face, set);
}

TQ3Status Q3Box_SetFaceAttributeSet(TQ3GeometryObject box, TQ3Uns32 face, TQ3AttributeSet set)
{
    return SetPart(box, Solid::Kind::Box, face, set);
}

TQ3Status Q3Cone_GetFaceAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet* set)
{
    return GetPart(cone, Solid::Kind::Cone, Solid::Face, set);
}

TQ3Status Q3Cone_SetFaceAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet set)
{
    return SetPart(cone, Solid::Kind::Cone, Solid::Face, set);
}

TQ3Status Q3Cone_GetBottomAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet* set)
{
    return GetPart(cone, Solid::Kind::Cone, Solid::Bottom, set);
}

TQ3Status Q3Cone_SetBottomAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet set)
{
    return SetPart(cone, Solid::Kind::Cone, Solid::Bottom, set);
}

TQ3Status Q3Cylinder_GetFaceAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet* set)
{
    return GetPart(cylinder, Solid::Kind::Cylinder, Solid::Face, set);
}

TQ3Status Q3Cylinder_SetFaceAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet set)
{
    return SetPart(cylinder, Solid::Kind::Cylinder, Solid::Face, set);
}

TQ3Status Q3Cylinder_GetBottomAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet* set)
{
    return GetPart(cylinder, Solid::Kind::Cylinder, Solid::Bottom, set);
}

TQ3Status Q3Cylinder_SetBottomAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet set)
{
    return SetPart(cylinder, Solid::Kind::Cylinder, Solid::Bottom, set);
}

TQ3Status Q3Cylinder_GetTopAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet* set)
{
    return GetPart(cylinder, Solid::Kind::Cylinder, Solid::Top, set);
}

TQ3Status Q3Cylinder_SetTopAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet set)
{
    return SetPart(cylinder, Solid::Kind::Cylinder, Solid::Top, set);
}
