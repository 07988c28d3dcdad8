#pragma once

#include "Object.h"

namespace Q3 {

// A view ties together what a frame needs: camera, draw context, renderer and
// light group. It holds one reference to each.
class View final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeView;

    View() = default;
    ~View() override;

    std::span<const TQ3ObjectType> TypeChain() const override;

    TQ3Object Camera() const { return m_camera; }
    void SetCamera(TQ3Object camera) { Assign(m_camera, camera); }

private:
    TQ3Object m_camera { nullptr };
};

}
