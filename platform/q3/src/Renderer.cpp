#include "Renderer.h"

namespace q3 {

std::span<const TQ3ObjectType> Renderer::TypeChain() const
{
    static constexpr TQ3ObjectType interactive[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeRenderer, kQ3RendererTypeInteractive };
    static constexpr TQ3ObjectType wireframe[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeRenderer, kQ3RendererTypeWireFrame };
    if (mWireframe)
        return wireframe;
    return interactive;
}

}

TQ3RendererObject Q3Renderer_NewFromType(TQ3ObjectType rendererType)
{
    if (rendererType == kQ3RendererTypeInteractive)
        return q3::Created(new q3::Renderer(false));
    if (rendererType == kQ3RendererTypeWireFrame)
        return q3::Created(new q3::Renderer(true));
    q3::PostError(kQ3ErrorInvalidParameter);
    return nullptr;
}
