#pragma once

#include "Object.h"

#include <cstdint>
#include <span>
#include <vector>

namespace q3 {

// Bytes in memory: either a copy the storage owns, or the caller's buffer
// read in place, which the caller keeps alive for the storage's lifetime.
class MemoryStorage final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeStorage;

    explicit MemoryStorage(std::vector<uint8_t> copy)
        : mCopy(std::move(copy))
        , mBytes(mCopy)
    {
    }
    explicit MemoryStorage(std::span<const uint8_t> borrowed)
        : mBytes(borrowed)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    std::span<const uint8_t> Bytes() const { return mBytes; }

private:
    std::vector<uint8_t> mCopy {};
    std::span<const uint8_t> mBytes {};
};

}
