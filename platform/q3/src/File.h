#pragma once

#include "MetafileSource.h"
#include "Object.h"

namespace q3 {

// A model file read from a storage object, one top-level object at a time.
class File final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeFile;

    std::span<const TQ3ObjectType> TypeChain() const override;

    Ref<> storage {};
    std::unique_ptr<MetafileSource> source {};
};

}
