#include "DebugCube.h"

#include "Lx3DUtil.h"

#include <algorithm>
#include <new>

namespace lx3d {

namespace {

    constexpr std::size_t HeaderSize = 4;
    constexpr std::size_t WordSize = 2;
    constexpr uint16_t RepeatFlag = 0x8000;
    constexpr uint16_t CountMask = 0x7FFF;

    // Decodes the runs of `runs` into `out`, stopping at the end of either.
    void DecodeRuns(std::span<const uint8_t> runs, std::span<uint8_t> out)
    {
        std::size_t in = 0, written = 0;
        auto wordsLeft = [&] { return (runs.size() - in) / WordSize; };
        while (written < out.size() && wordsLeft() > 0) {
            const uint16_t control = static_cast<uint16_t>(ReadBigEndian16(runs.data() + in));
            in += WordSize;
            const std::size_t count = control & CountMask;
            if (control & RepeatFlag) {
                if (wordsLeft() == 0)
                    return;
                const uint8_t* word = runs.data() + in;
                in += WordSize;
                for (std::size_t i = 0; i < count * WordSize && written < out.size(); ++i)
                    out[written++] = word[i % WordSize];
            } else {
                // A literal run cut short by the block's end copies what is there.
                const std::size_t bytes = std::min(count, wordsLeft()) * WordSize;
                const std::size_t copied = std::min(bytes, out.size() - written);
                std::copy_n(runs.data() + in, copied, out.data() + written);
                in += bytes;
                written += copied;
            }
        }
    }

}

std::vector<uint8_t> UnpackRuns(std::span<const uint8_t> packed)
{
    if (packed.size() < HeaderSize)
        return {};
    const uint32_t size = ReadBigEndian32(packed.data());
    if (size == 0 || size > MaximumUnpackedSize)
        return {};
    std::vector<uint8_t> unpacked;
    try {
        unpacked.resize(size);
    } catch (const std::bad_alloc&) {
        return {};
    }
    DecodeRuns(packed.subspan(HeaderSize), unpacked);
    return unpacked;
}

TQ3GroupObject MakeDebugCubeGroup()
{
    std::vector<uint8_t> model = UnpackRuns({ DebugCubePacked, DebugCubePackedSize });
    if (model.empty())
        return nullptr;
    TQ3GroupObject group = Q3DisplayGroup_New();
    if (!group)
        return nullptr;

    // The storage reads the buffer in place; the buffer outlives the file.
    TQ3FileObject file = Q3File_New();
    const auto size = static_cast<TQ3Uns32>(model.size());
    TQ3StorageObject storage = Q3MemoryStorage_NewBuffer(model.data(), size, size);
    Q3File_SetStorage(file, storage);
    Q3Object_Dispose(storage);
    if (Q3File_OpenRead(file, nullptr) == kQ3Success) {
        // The library reports the end after bad data too, so this loop ends.
        while (!Q3File_IsEndOfFile(file)) {
            if (TQ3Object object = Q3File_ReadObject(file)) {
                Q3Group_AddObject(group, object);
                Q3Object_Dispose(object);
            }
        }
        Q3File_Close(file);
    }
    Q3Object_Dispose(file);
    return group;
}

}
