#include "Shader.h"

#include "View.h"

namespace q3 {

std::span<const TQ3ObjectType> IlluminationShader::TypeChain() const
{
    static constexpr TQ3ObjectType phong[] = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeShader,
        kQ3ShaderTypeIllumination, kQ3IlluminationTypePhong };
    static constexpr TQ3ObjectType lambert[] = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeShader,
        kQ3ShaderTypeIllumination, kQ3IlluminationTypeLambert };
    static constexpr TQ3ObjectType null[] = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeShader,
        kQ3ShaderTypeIllumination, kQ3IlluminationTypeNULL };
    if (mKind == kQ3IlluminationTypeNULL)
        return null;
    if (mKind == kQ3IlluminationTypeLambert)
        return lambert;
    return phong;
}

TQ3Status IlluminationShader::Submit(View& view)
{
    view.SetIlluminated(Lights());
    return kQ3Success;
}

}

using namespace q3;

TQ3ShaderObject Q3PhongIllumination_New(void) { return Created(new IlluminationShader(kQ3IlluminationTypePhong)); }

TQ3ShaderObject Q3NULLIllumination_New(void) { return Created(new IlluminationShader(kQ3IlluminationTypeNULL)); }

TQ3Status Q3Shader_Submit(TQ3ShaderObject shader, TQ3ViewObject view)
{
    if (!shader || !shader->IsType(kQ3ShapeTypeShader))
        return kQ3Failure;
    return Q3Object_Submit(shader, view);
}
