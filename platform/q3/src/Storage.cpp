#include "Storage.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace q3 {

std::span<const TQ3ObjectType> MemoryStorage::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypeStorage, kQ3StorageTypeMemory };
    return chain;
}

}

using namespace q3;

TQ3StorageObject Q3MemoryStorage_New(const unsigned char* bytes, TQ3Uns32 size)
{
    if (!bytes && size > 0) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    try {
        return new MemoryStorage(std::vector<uint8_t>(bytes, bytes + size));
    } catch (const std::bad_alloc&) {
        PostError(kQ3ErrorOutOfMemory);
        return nullptr;
    }
}

TQ3StorageObject Q3MemoryStorage_NewBuffer(unsigned char* bytes, TQ3Uns32 validSize, TQ3Uns32 bufferSize)
{
    // Only the valid bytes are content; the rest of the buffer is room to grow.
    if ((!bytes && validSize > 0) || validSize > bufferSize) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new MemoryStorage(std::span<const uint8_t>(bytes, validSize));
}

TQ3Status Q3Storage_GetSize(TQ3StorageObject storage, TQ3Uns32* size)
{
    auto* self = Cast<MemoryStorage>(storage);
    if (!self || !size)
        return kQ3Failure;
    *size = static_cast<TQ3Uns32>(self->Bytes().size());
    return kQ3Success;
}

TQ3Status Q3Storage_GetData(
    TQ3StorageObject storage, TQ3Uns32 offset, TQ3Uns32 size, unsigned char* data, TQ3Uns32* sizeRead)
{
    auto* self = Cast<MemoryStorage>(storage);
    if (sizeRead)
        *sizeRead = 0;
    if (!self || !data || !sizeRead)
        return kQ3Failure;
    const auto bytes = self->Bytes();
    if (offset > bytes.size())
        return kQ3Failure;
    const size_t count = std::min<size_t>(size, bytes.size() - offset);
    if (count > 0)
        std::memcpy(data, bytes.data() + offset, count);
    *sizeRead = static_cast<TQ3Uns32>(count);
    return kQ3Success;
}
