#pragma once

// The 3D library's lifetime as the plug-in sees it, its diagnostics, and the
// byte-order helpers of the built-in model's unpacker.

#include <carbon/Carbon.h>
#include <q3/Q3.h>

#include <cstddef>
#include <cstdint>

namespace lx3d {

// Run by every scene element, material and opened view at birth: initialises
// the library on first need and counts one more user.
void AcquireQuesa();
// Run at their end: counts one user less; when none is left the shared bounds
// view and the shared null illumination shader go. Unmatched releases do nothing.
void ReleaseQuesa();
int32_t QuesaLiveCount();

// The view for bounding passes, made on first request while users live.
TQ3ViewObject SharedBoundsView();
// The shared null illumination shader's slot, filled by element submission.
TQ3ShaderObject& SharedNullIllumination();

// Clears the library's error after a failed status; the work goes on.
void CheckQuesaStatus(TQ3Status status, const char* file, unsigned line);

// Writes "file:line: failed assertion `expression'" to standard error and aborts.
[[noreturn]] void FailedAssertion(const char* file, unsigned line, const char* expression);

void ReverseBytes(void* bytes, std::size_t length);
uint32_t ReadBigEndian32(const void* bytes);
int16_t ReadBigEndian16(const void* bytes);

// The row bytes of a platform pixel map.
int32_t PixRowBytes(PixMapHandle pixels);

}

// Unlike the standard assert, this stays in release builds: the conditions it
// guards leave nothing sensible to do.
#define LX3D_ASSERT(expression)                                                                                        \
    ((expression) ? static_cast<void>(0) : lx3d::FailedAssertion(__FILE_NAME__, __LINE__, #expression))
