#include "Transform.h"

#include "Math.h"
#include "View.h"

namespace q3 {

std::span<const TQ3ObjectType> Transform::TypeChain() const
{
    static constexpr TQ3ObjectType kinds[] = { kQ3TransformTypeMatrix, kQ3TransformTypeTranslate, kQ3TransformTypeScale,
        kQ3TransformTypeRotate, kQ3TransformTypeQuaternion };
    static constexpr TQ3ObjectType chains[][4] = {
        { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeTransform, kinds[0] },
        { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeTransform, kinds[1] },
        { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeTransform, kinds[2] },
        { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeTransform, kinds[3] },
        { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeTransform, kinds[4] },
    };
    for (size_t i = 0; i < std::size(kinds); ++i)
        if (kinds[i] == mKind)
            return chains[i];
    return chains[0];
}

TQ3Status Transform::Submit(View& view)
{
    view.ApplyTransform(mMatrix);
    return kQ3Success;
}

}

using namespace q3;

namespace {

TQ3Status SubmitMatrix(const TQ3Matrix4x4& matrix, TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    if (!self || !self->InLoop())
        return kQ3Failure;
    self->ApplyTransform(matrix);
    return kQ3Success;
}

}

TQ3Status Q3TranslateTransform_Submit(const TQ3Vector3D* translate, TQ3ViewObject view)
{
    return translate ? SubmitMatrix(Translation(*translate), view) : kQ3Failure;
}

TQ3Status Q3ScaleTransform_Submit(const TQ3Vector3D* scale, TQ3ViewObject view)
{
    return scale ? SubmitMatrix(Scaling(*scale), view) : kQ3Failure;
}

TQ3Status Q3QuaternionTransform_Submit(const TQ3Quaternion* quaternion, TQ3ViewObject view)
{
    return quaternion ? SubmitMatrix(Rotation(*quaternion), view) : kQ3Failure;
}
