#pragma once

#include "Object.h"

namespace q3 {

// A drawable shape with an attribute set of its own, which overrides the
// attributes inherited from the view's state.
class Geometry : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShapeTypeGeometry;

    Object* Attributes() const { return mAttributes.Get(); }
    void SetAttributes(Object* set) { mAttributes = Ref<>(set); }

private:
    Ref<> mAttributes {};
};

}
