#pragma once

// Damaged copies of a real plug-in module, as a broken install or download
// leaves them.

#include <elf.h>
#include <link.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace damaged {

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

// The module cut off halfway through its largest loadable segment, so that
// whole pages of it and every later segment lie beyond the end of the file.
inline std::string CutInsideLoadSegment(std::string bytes)
{
    ElfW(Ehdr) header {};
    bytes.copy(reinterpret_cast<char*>(&header), sizeof header);
    ElfW(Phdr) largest {};
    for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment {};
        bytes.copy(reinterpret_cast<char*>(&segment), sizeof segment, header.e_phoff + i * sizeof segment);
        if (segment.p_type == PT_LOAD && segment.p_filesz > largest.p_filesz)
            largest = segment;
    }
    // The program headers stay whole: the cut is the segment's.
    const std::uint64_t headersEnd = header.e_phoff + std::uint64_t(header.e_phnum) * sizeof(ElfW(Phdr));
    const std::uint64_t cut = std::max<std::uint64_t>(largest.p_offset + largest.p_filesz / 2, headersEnd);
    if (cut >= largest.p_offset + largest.p_filesz)
        throw std::runtime_error("the module has no loadable segment to cut");
    bytes.resize(cut);
    return bytes;
}

// The module with its header claiming another machine.
inline std::string ForAnotherMachine(std::string bytes)
{
    ElfW(Ehdr) header {};
    bytes.copy(reinterpret_cast<char*>(&header), sizeof header);
    header.e_machine = header.e_machine == EM_S390 ? EM_SPARC : EM_S390;
    bytes.replace(0, sizeof header, reinterpret_cast<const char*>(&header), sizeof header);
    return bytes;
}

}
