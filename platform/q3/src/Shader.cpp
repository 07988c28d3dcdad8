#include "Shader.h"

namespace Q3 {

std::span<const TQ3ObjectType> IlluminationShader::TypeChain() const
{
    static constexpr TQ3ObjectType phong[] = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeShader,
        kQ3ShaderTypeIllumination, kQ3IlluminationTypePhong };
    static constexpr TQ3ObjectType null[] = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeShader,
        kQ3ShaderTypeIllumination, kQ3IlluminationTypeNULL };
    if (Lights())
        return phong;
    return null;
}

}

using namespace Q3;

TQ3ShaderObject Q3PhongIllumination_New(void)
{
    return new IlluminationShader(kQ3IlluminationTypePhong);
}

TQ3ShaderObject Q3NULLIllumination_New(void)
{
    return new IlluminationShader(kQ3IlluminationTypeNULL);
}
