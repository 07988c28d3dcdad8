#pragma once

#include "Object.h"

#include <cstdint>
#include <span>
#include <vector>

namespace Q3 {

// Bytes in memory: either a copy the storage owns, or the caller's buffer
// read in place, which the caller keeps alive for the storage's lifetime.
class MemoryStorage final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeStorage;

    explicit MemoryStorage(std::vector<uint8_t> copy)
        : m_copy(std::move(copy))
        , m_bytes(m_copy)
    {
    }
    explicit MemoryStorage(std::span<const uint8_t> borrowed)
        : m_bytes(borrowed)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    std::span<const uint8_t> Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_copy {};
    std::span<const uint8_t> m_bytes {};
};

}
