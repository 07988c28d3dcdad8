#pragma once

#include "Geometry.h"

#include <array>
#include <vector>

namespace q3 {

// A solid read from a model file, given by an origin and three edge or
// radius vectors, drawn as triangles. Each part (a box face, a cone's or
// cylinder's side, bottom and top) may carry an attribute set that overrides
// the geometry's.
class Solid final : public Geometry {
public:
    enum class Kind { Box, Cone, Cylinder };

    // Box: the corner `origin` and the edges `orientation`, `majorAxis` and
    // `minorAxis`. Cone and cylinder: the base centre `origin`, the axis
    // `orientation` to the apex or top, and the radius vectors.
    struct Shape {
        TQ3Vector3D orientation { 0, 1, 0 };
        TQ3Vector3D majorAxis { 0, 0, 1 };
        TQ3Vector3D minorAxis { 1, 0, 0 };
        TQ3Point3D origin { 0, 0, 0 };
    };

    // Box faces 0 to 5: -minor, +minor, -major, +major, -orientation, +orientation.
    static constexpr int BoxFaces = 6;
    enum Part { Face = 0, Bottom = 1, Top = 2 };

    Solid(Kind kind, const Shape& shape)
        : mKind(kind)
        , mShape(shape)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    Kind SolidKind() const { return mKind; }
    int PartCount() const { return mKind == Kind::Box ? BoxFaces : mKind == Kind::Cone ? 2 : 3; }
    Object* PartAttributes(int part) const { return mParts[part].Get(); }
    void SetPartAttributes(int part, Object* set) { mParts[part] = Ref<>(set); }

private:
    Kind mKind { Kind::Box };
    Shape mShape {};
    std::array<Ref<>, BoxFaces> mParts {};
};

}
