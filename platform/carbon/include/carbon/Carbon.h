#pragma once

// The OS toolkit layer: the few calls of the original platform's toolbox that
// the plug-in and the game make, under their original names.

#include <cstdint>

extern "C" {

// A length-prefixed string: the first byte holds the number of bytes that follow.
typedef const unsigned char* ConstStr255Param;

// Reports a programmer's message. Here it goes to standard error; it never traps.
void DebugStr(ConstStr255Param message);
}
