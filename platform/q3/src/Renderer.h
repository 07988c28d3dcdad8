#pragma once

#include "Object.h"

namespace q3 {

// How a view draws: filled and shaded, or triangle edges only.
class Renderer final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeRenderer;

    explicit Renderer(bool wireframe)
        : mWireframe(wireframe)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    bool Wireframe() const { return mWireframe; }

private:
    bool mWireframe { false };
};

}
