#pragma once

#include "Object.h"

namespace q3 {

// A retained transform, as read from a model file: its matrix applies to the
// geometry submitted after it, before the transforms already in force.
class Transform final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShapeTypeTransform;

    Transform(TQ3ObjectType kind, const TQ3Matrix4x4& matrix)
        : mKind(kind)
        , mMatrix(matrix)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

private:
    TQ3ObjectType mKind { kQ3TransformTypeMatrix };
    TQ3Matrix4x4 mMatrix {};
};

}
