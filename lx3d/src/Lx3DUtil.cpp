#include "Lx3DUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lx3d {

namespace {

    int32_t gLiveCount = 0;
    TQ3ViewObject gBoundsView = nullptr;
    TQ3ShaderObject gNullIllumination = nullptr;

    // The bounds view's camera: it only has to exist, bounding ignores the picture.
    constexpr TQ3ViewAngleAspectCameraData BoundsCamera {
    .cameraData = {
        .placement = { .cameraLocation = { 0, 1, 10 }, .pointOfInterest = { 0, 0, 0 }, .upVector = { 0, 1, 0 } },
        .range = { .hither = 1.0f, .yon = 10000.0f },
        .viewPort = { .origin = { -1, 1 }, .width = 2.0f, .height = 2.0f },
    },
    .fov = 0.7853982f,
    .aspectRatioXToY = 1.0f,
};

    void DisposeSlot(TQ3Object& slot)
    {
        if (slot) {
            Q3Object_Dispose(slot);
            slot = nullptr;
        }
    }

}

void AcquireQuesa()
{
    if (gLiveCount == 0 && !Q3IsInitialized())
        CheckQuesaStatus(Q3Initialize(), __FILE_NAME__, __LINE__);
    ++gLiveCount;
}

void ReleaseQuesa()
{
    if (gLiveCount == 0)
        return;
    if (--gLiveCount == 0) {
        DisposeSlot(gNullIllumination);
        DisposeSlot(gBoundsView);
    }
}

int32_t QuesaLiveCount() { return gLiveCount; }

TQ3ViewObject SharedBoundsView()
{
    if (!gBoundsView) {
        gBoundsView = Q3View_New();
        TQ3CameraObject camera = Q3ViewAngleAspectCamera_New(&BoundsCamera);
        Q3View_SetCamera(gBoundsView, camera);
        Q3Object_Dispose(camera);
    }
    return gBoundsView;
}

TQ3ShaderObject& SharedNullIllumination() { return gNullIllumination; }

void CheckQuesaStatus(TQ3Status status, const char*, unsigned)
{
    if (status != kQ3Success)
        Q3Error_Get(nullptr);
}

void FailedAssertion(const char* file, unsigned line, const char* expression)
{
    std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", file, line, expression);
    std::fflush(stderr);
    std::abort();
}

void ReverseBytes(void* bytes, std::size_t length)
{
    auto* begin = static_cast<unsigned char*>(bytes);
    std::reverse(begin, begin + length);
}

uint32_t ReadBigEndian32(const void* bytes)
{
    const auto* b = static_cast<const unsigned char*>(bytes);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

int16_t ReadBigEndian16(const void* bytes)
{
    const auto* b = static_cast<const unsigned char*>(bytes);
    return static_cast<int16_t>(uint16_t(b[0]) << 8 | uint16_t(b[1]));
}

int32_t PixRowBytes(PixMapHandle pixels) { return GetPixRowBytes(pixels); }

}
