#include "Renderer.h"

namespace Q3 {

std::span<const TQ3ObjectType> Renderer::TypeChain() const
{
    static constexpr TQ3ObjectType interactive[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeRenderer, kQ3RendererTypeInteractive };
    static constexpr TQ3ObjectType wireframe[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeRenderer, kQ3RendererTypeWireFrame };
    if (m_wireframe)
        return wireframe;
    return interactive;
}

}

TQ3RendererObject Q3Renderer_NewFromType(TQ3ObjectType rendererType)
{
    if (rendererType == kQ3RendererTypeInteractive)
        return Q3::Created(new Q3::Renderer(false));
    if (rendererType == kQ3RendererTypeWireFrame)
        return Q3::Created(new Q3::Renderer(true));
    Q3::PostError(kQ3ErrorInvalidParameter);
    return nullptr;
}
