#pragma once

namespace q3 {

// The library is built for SSE2 alone, and it calls the C library's string
// and maths routines, which use AVX where the processor has it. While the
// upper halves of the AVX registers are left in use (Qt's image fills leave
// them so, from the host's start-up on), each such call from SSE code costs
// well over a hundred nanoseconds instead of 6 on processors where the switch
// is expensive, and a frame makes thousands of them: a quarter of an orbit
// frame went there. Clearing them costs next to nothing, and is skipped
// without AVX.
void ClearUpperVectorState();

}
