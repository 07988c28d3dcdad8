#include "Object.h"

#include <cstdlib>

TQ3Status Q3Memory_Reallocate_(void** pointer, TQ3Uns32 newSize)
{
    if (!pointer)
        return kQ3Failure;
    if (newSize == 0) {
        Q3Memory_Free_(pointer);
        return kQ3Success;
    }
    void* block = std::realloc(*pointer, newSize);
    if (!block) {
        q3::PostError(kQ3ErrorOutOfMemory);
        return kQ3Failure;
    }
    *pointer = block;
    return kQ3Success;
}

void* Q3Memory_AllocateClear(TQ3Uns32 size)
{
    if (size == 0)
        return nullptr;
    void* block = std::calloc(1, size);
    if (!block)
        q3::PostError(kQ3ErrorOutOfMemory);
    return block;
}

void Q3Memory_Free_(void** pointer)
{
    if (!pointer)
        return;
    std::free(*pointer);
    *pointer = nullptr;
}
