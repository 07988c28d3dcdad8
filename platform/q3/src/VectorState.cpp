#include "VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace q3 {

#if defined(__x86_64__) || defined(__i386__)

namespace {
    __attribute__((target("avx"))) void ZeroUpperHalves() { _mm256_zeroupper(); }
}

void ClearUpperVectorState()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        ZeroUpperHalves();
}

#else

void ClearUpperVectorState() { }

#endif

}
