#include "Light.h"

#include "Math.h"

namespace q3 {

Light::Light(render::Light::Kind kind, const TQ3LightData& data)
    : mOn(data.isOn != kQ3False)
{
    mLight.kind = kind;
    mLight.color = data.color;
    mLight.brightness = data.brightness;
}

std::span<const TQ3ObjectType> Light::TypeChain() const
{
    static constexpr TQ3ObjectType ambient[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeLight, kQ3LightTypeAmbient };
    static constexpr TQ3ObjectType directional[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeLight, kQ3LightTypeDirectional };
    static constexpr TQ3ObjectType point[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeLight, kQ3LightTypePoint };
    switch (mLight.kind) {
    case render::Light::Kind::Directional:
        return directional;
    case render::Light::Kind::Point:
        return point;
    default:
        return ambient;
    }
}

}

using namespace q3;

namespace {

// The light of the given kind behind a handle, else null.
Light* LightOf(TQ3LightObject light, render::Light::Kind kind)
{
    auto* self = Cast<Light>(light);
    if (self && self->Data().kind != kind) {
        PostError(kQ3ErrorInvalidObjectType);
        return nullptr;
    }
    return self;
}

// A value the type does not name weakens nothing.
TQ3AttenuationType AttenuationOf(TQ3AttenuationType attenuation)
{
    return attenuation <= kQ3AttenuationTypeInverseDistanceSquared ? attenuation : kQ3AttenuationTypeNone;
}

}

TQ3LightObject Q3AmbientLight_New(const TQ3LightData* data)
{
    if (!data) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new Light(render::Light::Kind::Ambient, *data);
}

TQ3LightObject Q3DirectionalLight_New(const TQ3DirectionalLightData* data)
{
    if (!data) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    // Shadows are not drawn, so castsShadows has no effect.
    auto* light = new Light(render::Light::Kind::Directional, data->lightData);
    light->Data().direction = Normalized(data->direction);
    return light;
}

TQ3LightObject Q3PointLight_New(const TQ3PointLightData* data)
{
    if (!data) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    auto* light = new Light(render::Light::Kind::Point, data->lightData);
    light->Data().location = data->location;
    light->Data().attenuation = AttenuationOf(data->attenuation);
    return light;
}

TQ3Status Q3Light_SetBrightness(TQ3LightObject light, float brightness)
{
    auto* self = Cast<Light>(light);
    if (!self)
        return kQ3Failure;
    self->Data().brightness = brightness;
    return kQ3Success;
}

TQ3Status Q3Light_SetState(TQ3LightObject light, TQ3Boolean isOn)
{
    auto* self = Cast<Light>(light);
    if (!self)
        return kQ3Failure;
    self->SetOn(isOn != kQ3False);
    return kQ3Success;
}

TQ3Status Q3Light_SetColor(TQ3LightObject light, const TQ3ColorRGB* color)
{
    auto* self = Cast<Light>(light);
    if (!self || !color)
        return kQ3Failure;
    self->Data().color = *color;
    return kQ3Success;
}

TQ3Status Q3Light_GetData(TQ3LightObject light, TQ3LightData* data)
{
    auto* self = Cast<Light>(light);
    if (!self || !data)
        return kQ3Failure;
    *data = { self->IsOn() ? kQ3True : kQ3False, self->Data().brightness, self->Data().color };
    return kQ3Success;
}

TQ3Status Q3DirectionalLight_SetDirection(TQ3LightObject light, const TQ3Vector3D* direction)
{
    auto* self = LightOf(light, render::Light::Kind::Directional);
    if (!self || !direction)
        return kQ3Failure;
    self->Data().direction = Normalized(*direction);
    return kQ3Success;
}

TQ3Status Q3DirectionalLight_GetDirection(TQ3LightObject light, TQ3Vector3D* direction)
{
    auto* self = LightOf(light, render::Light::Kind::Directional);
    if (!self || !direction)
        return kQ3Failure;
    *direction = self->Data().direction;
    return kQ3Success;
}

TQ3Status Q3PointLight_SetLocation(TQ3LightObject light, const TQ3Point3D* location)
{
    auto* self = LightOf(light, render::Light::Kind::Point);
    if (!self || !location)
        return kQ3Failure;
    self->Data().location = *location;
    return kQ3Success;
}

TQ3Status Q3PointLight_SetAttenuation(TQ3LightObject light, TQ3AttenuationType attenuation)
{
    auto* self = LightOf(light, render::Light::Kind::Point);
    if (!self)
        return kQ3Failure;
    self->Data().attenuation = AttenuationOf(attenuation);
    return kQ3Success;
}
