#pragma once

#include <bitset>
#include <cstddef>
#include <string_view>
#include <vector>

namespace papyrant {

// A byte sequence that a glibc converter decodes otherwise than browsers do, and the browsers' reading.
struct EncodingDifference
{
    std::string_view converter; // the iconv name
    std::string_view bytes; // one character as the converter frames it
    char32_t codePoints[2]; // nothing (zero) where browsers see an error
};

// The differences of one converter from the browsers, looked up at the start of a character.
class EncodingDifferences
{
public:
    explicit EncodingDifferences(std::string_view converter);

    // The difference whose bytes begin `bytes` (the longest), or nullptr. When the bytes end before a listed
    // sequence does and more may follow, `needMore` is set.
    const EncodingDifference* find(std::string_view bytes, bool& needMore) const;

    bool empty() const
    {
        return m_entries.empty();
    }

private:
    std::vector<const EncodingDifference*> m_entries; // sorted by bytes
    std::bitset<256> m_firstBytes;
};

} // namespace papyrant
