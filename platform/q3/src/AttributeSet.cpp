#include "AttributeSet.h"

#include "View.h"

#include <cstring>

namespace q3 {

size_t AttributeSize(TQ3AttributeType type)
{
    switch (type) {
    case kQ3AttributeTypeSurfaceUV:
    case kQ3AttributeTypeShadingUV:
        return sizeof(TQ3Param2D);
    case kQ3AttributeTypeNormal:
        return sizeof(TQ3Vector3D);
    case kQ3AttributeTypeAmbientCoefficient:
    case kQ3AttributeTypeSpecularControl:
        return sizeof(float);
    case kQ3AttributeTypeDiffuseColor:
    case kQ3AttributeTypeSpecularColor:
    case kQ3AttributeTypeTransparencyColor:
        return sizeof(TQ3ColorRGB);
    case kQ3AttributeTypeSurfaceTangent:
        return 2 * sizeof(TQ3Vector3D);
    case kQ3AttributeTypeHighlightState:
        return sizeof(TQ3Switch);
    default:
        return 0;
    }
}

std::span<const TQ3ObjectType> AttributeSet::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypeSet, kQ3SetTypeAttribute };
    return chain;
}

TQ3Status AttributeSet::Submit(View& view)
{
    view.ApplyAttributes(*this);
    return kQ3Success;
}

bool AttributeSet::Add(TQ3AttributeType type, const void* data)
{
    if (!data)
        return false;
    Value value;
    if (type == kQ3AttributeTypeSurfaceShader) {
        TQ3Object shader = *static_cast<const TQ3Object*>(data);
        if (!shader || !shader->IsType(kQ3ShaderTypeSurface))
            return false;
        value.object = Ref<>(shader);
    } else {
        const size_t size = AttributeSize(type);
        if (size == 0)
            return false;
        std::memcpy(value.bytes.data(), data, size);
    }
    mValues[type] = std::move(value);
    return true;
}

bool AttributeSet::Get(TQ3AttributeType type, void* data) const
{
    auto found = mValues.find(type);
    if (found == mValues.end() || !data)
        return false;
    if (type == kQ3AttributeTypeSurfaceShader)
        *static_cast<TQ3Object*>(data) = Q3Shared_GetReference(found->second.object.Get());
    else
        std::memcpy(data, found->second.bytes.data(), AttributeSize(type));
    return true;
}

Object* AttributeSet::SurfaceShader() const
{
    auto found = mValues.find(kQ3AttributeTypeSurfaceShader);
    return found == mValues.end() ? nullptr : found->second.object.Get();
}

}

using namespace q3;

TQ3AttributeSet Q3AttributeSet_New(void) { return new AttributeSet; }

TQ3Status Q3AttributeSet_Add(TQ3AttributeSet set, TQ3AttributeType type, const void* data)
{
    auto* self = Cast<AttributeSet>(set);
    if (!self)
        return kQ3Failure;
    if (!self->Add(type, data)) {
        PostError(kQ3ErrorInvalidParameter);
        return kQ3Failure;
    }
    return kQ3Success;
}

TQ3Status Q3AttributeSet_Get(TQ3AttributeSet set, TQ3AttributeType type, void* data)
{
    auto* self = Cast<AttributeSet>(set);
    return self && self->Get(type, data) ? kQ3Success : kQ3Failure;
}

TQ3Boolean Q3AttributeSet_Contains(TQ3AttributeSet set, TQ3AttributeType type)
{
    auto* self = Cast<AttributeSet>(set);
    return self && self->Contains(type) ? kQ3True : kQ3False;
}

TQ3Status Q3AttributeSet_Clear(TQ3AttributeSet set, TQ3AttributeType type)
{
    auto* self = Cast<AttributeSet>(set);
    return self && self->Clear(type) ? kQ3Success : kQ3Failure;
}

TQ3Uns32 Q3Attribute_GetDataSize(TQ3AttributeType type) { return TQ3Uns32(AttributeSize(type)); }
