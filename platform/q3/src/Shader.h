#pragma once

#include "Object.h"

namespace q3 {

// An illumination shader: Phong and Lambert light a surface; the null shader
// shows its color at full strength.
class IlluminationShader final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShaderTypeIllumination;

    explicit IlluminationShader(TQ3ObjectType kind)
        : mKind(kind)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    bool Lights() const { return mKind != kQ3IlluminationTypeNULL; }

private:
    TQ3ObjectType mKind { kQ3IlluminationTypePhong };
};

}
