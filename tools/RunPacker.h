#pragma once

// The packing of the plug-in's built-in model: a big-endian 32-bit size of the
// unpacked bytes, then runs of 16-bit words. A control word with the top bit
// set stands for (control & 0x7FFF) copies of the one word after it; with the
// top bit clear it is the count of the literal words after it.

#include <cstdint>
#include <span>
#include <vector>

namespace tools {

// Packs `bytes`. An odd last byte travels in a word whose second byte is zero;
// the unpacker stops at the size in the header, so that byte is never written.
std::vector<uint8_t> PackRuns(std::span<const uint8_t> bytes);

}
