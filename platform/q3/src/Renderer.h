#pragma once

#include "Object.h"

namespace Q3 {

// How a view draws: filled and shaded, or triangle edges only.
class Renderer final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeRenderer;

    explicit Renderer(bool wireframe)
        : m_wireframe(wireframe)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    bool Wireframe() const { return m_wireframe; }

private:
    bool m_wireframe { false };
};

}
