#pragma once

#include <cstdint>
#include <cstring>

// Tests on eight bytes at once, read as one 64-bit word: text passes such tests a word at a time and looks at
// single bytes only in a word that fails. Each test is exact, not just a hint: no byte that passes borrows from or
// carries into its neighbour.
namespace papyrant::bytewords {

constexpr std::uint64_t kEachByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = kEachByte * 0x80;

// The eight bytes at p, whatever their alignment.
inline std::uint64_t wordAt(const void* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Whether a byte is below `bound` (at most 0x80): such a byte borrows into its high bit.
constexpr bool anyBelow(std::uint64_t word, std::uint8_t bound)
{
    return ((word - kEachByte * bound) & ~word & kHighBits) != 0;
}

// Whether a byte is at or above `bound` (1 to 0x80): such a byte carries into its high bit, or has it set.
constexpr bool anyAtOrAbove(std::uint64_t word, std::uint8_t bound)
{
    return (((word + kEachByte * (0x80u - bound)) | word) & kHighBits) != 0;
}

} // namespace papyrant::bytewords
