#pragma once

#include "Object.h"
#include "render/Light.h"

namespace q3 {

// An ambient, directional or point light in world coordinates. Lights live
// in a view's light group; submitting one draws nothing.
class Light final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShapeTypeLight;

    Light(render::Light::Kind kind, const TQ3LightData& data);

    std::span<const TQ3ObjectType> TypeChain() const override;

    render::Light& Data() { return mLight; }
    const render::Light& Data() const { return mLight; }
    bool IsOn() const { return mOn; }
    void SetOn(bool on) { mOn = on; }

private:
    render::Light mLight {};
    bool mOn { true };
};

}
