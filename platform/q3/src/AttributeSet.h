#pragma once

#include "Object.h"

#include <array>
#include <cstdint>
#include <map>

namespace q3 {

// The size of one value of an attribute type, or 0 for types the library
// does not know (and the surface shader, which is an object).
size_t AttributeSize(TQ3AttributeType type);

// Attributes by type. One set is shared by every holder: a change shows
// wherever it is used at the next frame.
class AttributeSet final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SetTypeAttribute;

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    bool Add(TQ3AttributeType type, const void* data);
    bool Get(TQ3AttributeType type, void* data) const;
    bool Contains(TQ3AttributeType type) const { return mValues.contains(type); }
    bool Clear(TQ3AttributeType type) { return mValues.erase(type) > 0; }

    // The surface shader, borrowed; null when there is none.
    Object* SurfaceShader() const;

private:
    static constexpr size_t LargestValue = 2 * sizeof(TQ3Vector3D);

    struct Value {
        std::array<uint8_t, LargestValue> bytes {};
        Ref<> object {};
    };
    std::map<TQ3AttributeType, Value> mValues {};
};

}
