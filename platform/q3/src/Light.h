#pragma once

#include "Object.h"
#include "render/Device.h"

namespace Q3 {

// An ambient, directional or point light in world coordinates. Lights live
// in a view's light group; submitting one draws nothing.
class Light final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShapeTypeLight;

    Light(Render::Light::Kind kind, const TQ3LightData& data);

    std::span<const TQ3ObjectType> TypeChain() const override;

    Render::Light& Data() { return m_light; }
    const Render::Light& Data() const { return m_light; }
    bool IsOn() const { return m_on; }
    void SetOn(bool on) { m_on = on; }

private:
    Render::Light m_light {};
    bool m_on { true };
};

}
