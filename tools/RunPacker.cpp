#include "RunPacker.h"

#include <algorithm>
#include <array>

namespace tools {

namespace {

    using Word = std::array<uint8_t, 2>;

    constexpr uint16_t RepeatFlag = 0x8000;
    constexpr size_t LongestRun = 0x7FFF;
    // A repeat run costs two words, so it pays from three equal words on.
    constexpr size_t ShortestRepeat = 3;

    std::vector<Word> Words(std::span<const uint8_t> bytes)
    {
        std::vector<Word> words((bytes.size() + 1) / 2, Word {});
        for (size_t i = 0; i < bytes.size(); ++i)
            words[i / 2][i % 2] = bytes[i];
        return words;
    }

    void Append(std::vector<uint8_t>& out, uint16_t value)
    {
        out.push_back(static_cast<uint8_t>(value >> 8));
        out.push_back(static_cast<uint8_t>(value));
    }

    void Append(std::vector<uint8_t>& out, const Word& word) { out.insert(out.end(), word.begin(), word.end()); }

    size_t RepeatLength(const std::vector<Word>& words, size_t start)
    {
        size_t end = start + 1;
        while (end < words.size() && end - start < LongestRun && words[end] == words[start])
            ++end;
        return end - start;
    }

}

std::vector<uint8_t> PackRuns(std::span<const uint8_t> bytes)
{
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    std::vector<uint8_t> out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(size >> shift));

    const std::vector<Word> words = Words(bytes);
    size_t next = 0;
    while (next < words.size()) {
        const size_t repeat = RepeatLength(words, next);
        if (repeat >= ShortestRepeat) {
            Append(out, static_cast<uint16_t>(RepeatFlag | repeat));
            Append(out, words[next]);
            next += repeat;
            continue;
        }
        // Literal words run up to the next stretch worth a repeat run.
        size_t end = next;
        while (end < words.size() && end - next < LongestRun && RepeatLength(words, end) < ShortestRepeat)
            ++end;
        Append(out, static_cast<uint16_t>(end - next));
        std::for_each(words.begin() + next, words.begin() + end, [&](const Word& word) { Append(out, word); });
        next = end;
    }
    return out;
}

}
