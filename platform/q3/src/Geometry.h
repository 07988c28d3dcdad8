#pragma once

#include "Object.h"

namespace Q3 {

// A drawable shape with an attribute set of its own, which overrides the
// attributes inherited from the view's state.
class Geometry : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShapeTypeGeometry;

    Object* Attributes() const { return m_attributes.Get(); }
    void SetAttributes(Object* set) { m_attributes = Ref<>(set); }

private:
    Ref<> m_attributes {};
};

}
