#include <carbon/Carbon.h>

#include <cstdlib>
#include <new>

namespace {

// The block remembers its size in front of the data, so a handle is just the
// address of the data pointer.
struct Block {
    Ptr data { nullptr };
    int32_t size { 0 };
};

}

Handle NewHandle(int32_t size)
{
    if (size < 0)
        return nullptr;
    auto* block = new (std::nothrow) Block;
    if (!block)
        return nullptr;
    block->data = static_cast<Ptr>(std::calloc(size > 0 ? size : 1, 1));
    if (!block->data) {
        delete block;
        return nullptr;
    }
    block->size = size;
    return &block->data;
}

void DisposeHandle(Handle handle)
{
    if (!handle)
        return;
    auto* block = reinterpret_cast<Block*>(handle);
    std::free(block->data);
    delete block;
}

int32_t GetHandleSize(Handle handle) { return handle ? reinterpret_cast<Block*>(handle)->size : 0; }

// Blocks never move, so locking has nothing to do.
void HLock(Handle) { }
void HUnlock(Handle) { }
