#pragma once

#include "Object.h"

namespace Q3 {

// An illumination shader: Phong and Lambert light a surface; the null shader
// shows its colour at full strength.
class IlluminationShader final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShaderTypeIllumination;

    explicit IlluminationShader(TQ3ObjectType kind)
        : m_kind(kind)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    bool Lights() const { return m_kind != kQ3IlluminationTypeNULL; }

private:
    TQ3ObjectType m_kind { kQ3IlluminationTypePhong };
};

}
