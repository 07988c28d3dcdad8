// Reads arbitrary bytes as a model file the way LX3D does, then bounds every
// object read, so that whatever the reader builds is walked too.

#include <q3/Q3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Walk(TQ3Object object, TQ3ViewObject view)
{
    TQ3BoundingSphere sphere {};
    Q3View_StartBoundingSphere(view, kQ3ComputeBoundsExact);
    Q3Object_Submit(object, view);
    Q3View_EndBoundingSphere(view, &sphere);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TQ3Uns32 start = Q3Object_LiveCount();
    TQ3StorageObject storage = Q3MemoryStorage_New(data, static_cast<TQ3Uns32>(size));
    TQ3FileObject file = Q3File_New();
    Q3File_SetStorage(file, storage);
    Q3Object_Dispose(storage);
    TQ3ViewObject view = Q3View_New();
    if (Q3File_OpenRead(file, nullptr) == kQ3Success) {
        while (!Q3File_IsEndOfFile(file)) {
            const TQ3Uns32 before = Q3Debug_FilePosition(file);
            TQ3Object object = Q3File_ReadObject(file);
            if (object)
                Walk(object, view);
            Q3Object_Dispose(object);
            // A read that leaves the file where it was would hang the
            // caller's loop; one that moves on, however many there are, is
            // progress.
            if (!Q3File_IsEndOfFile(file) && Q3Debug_FilePosition(file) == before)
                std::abort();
        }
        Q3File_Close(file);
    }
    Q3Object_Dispose(view);
    Q3Object_Dispose(file);
    Q3Error_Get(nullptr);
    if (Q3Object_LiveCount() != start)
        std::abort();
    return 0;
}
