#include "File.h"

#include "Storage.h"

#include <new>

namespace q3 {

std::span<const TQ3ObjectType> File::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypeFile };
    return chain;
}

}

using namespace q3;

TQ3FileObject Q3File_New(void) { return new File; }

TQ3Status Q3File_SetStorage(TQ3FileObject file, TQ3StorageObject storage)
{
    auto* self = Cast<File>(file);
    if (!self || self->source || (storage && !Cast<MemoryStorage>(storage)))
        return kQ3Failure;
    self->storage = Ref<>(storage);
    return kQ3Success;
}

TQ3Status Q3File_OpenRead(TQ3FileObject file, TQ3FileMode* mode)
{
    auto* self = Cast<File>(file);
    if (!self || !self->storage || self->source)
        return kQ3Failure;
    TQ3FileMode found = kQ3FileModeNormal;
    // The tables a reader keeps grow with the file; a file too large for
    // them cannot be opened.
    try {
        self->source = OpenMetafile(static_cast<MemoryStorage*>(self->storage.Get())->Bytes(), found);
    } catch (const std::bad_alloc&) {
        PostError(kQ3ErrorOutOfMemory);
        return kQ3Failure;
    }
    if (!self->source) {
        PostError(kQ3ErrorInvalidParameter);
        return kQ3Failure;
    }
    if (mode)
        *mode = found;
    return kQ3Success;
}

TQ3Boolean Q3File_IsEndOfFile(TQ3FileObject file)
{
    auto* self = Cast<File>(file);
    // A file that is not open has nothing to read either.
    return !self || !self->source || self->source->AtEnd() ? kQ3True : kQ3False;
}

TQ3Object Q3File_ReadObject(TQ3FileObject file)
{
    auto* self = Cast<File>(file);
    if (!self || !self->source || self->source->AtEnd())
        return nullptr;
    // An object too large for memory reads as nothing, and so does the rest
    // of the file, which might lean on it.
    try {
        Ref<> object = ReadMetafileObject(*self->source);
        return Q3Shared_GetReference(object.Get());
    } catch (const std::bad_alloc&) {
        self->source->Reject();
        PostError(kQ3ErrorOutOfMemory);
        return nullptr;
    }
}

TQ3Status Q3File_Close(TQ3FileObject file)
{
    auto* self = Cast<File>(file);
    if (!self || !self->source)
        return kQ3Failure;
    self->source.reset();
    return kQ3Success;
}

TQ3Uns32 Q3Debug_FilePosition(TQ3FileObject file)
{
    auto* self = Cast<File>(file);
    return self && self->source ? static_cast<TQ3Uns32>(self->source->Position()) : 0;
}

TQ3Uns32 Q3Debug_FileVisits(TQ3FileObject file)
{
    auto* self = Cast<File>(file);
    return self && self->source ? static_cast<TQ3Uns32>(self->source->Shared().visits) : 0;
}
