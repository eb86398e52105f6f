#include "print/EncodingDifferences.h"

#include <algorithm>

namespace papyrant {

namespace {

constexpr EncodingDifference kDifferences[] = {
#include "print/EncodingDifferences.inc"
};

} // namespace

EncodingDifferences::EncodingDifferences(std::string_view converter)
{
    for (const EncodingDifference& difference : kDifferences) {
        if (difference.converter == converter) {
            m_entries.push_back(&difference);
            m_firstBytes.set(static_cast<unsigned char>(difference.bytes.front()));
        }
    }
    std::sort(m_entries.begin(), m_entries.end(),
        [](const EncodingDifference* a, const EncodingDifference* b) { return a->bytes < b->bytes; });
}

const EncodingDifference* EncodingDifferences::find(std::string_view bytes, bool& needMore) const
{
    needMore = false;
    if (bytes.empty() || !m_firstBytes.test(static_cast<unsigned char>(bytes.front())))
        return nullptr;
    // The sequences are at most four bytes long: try the longest prefix first.
    for (std::size_t length = std::min<std::size_t>(4, bytes.size()); length > 0; --length) {
        const std::string_view prefix = bytes.substr(0, length);
        const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), prefix,
            [](const EncodingDifference* entry, std::string_view key) { return entry->bytes < key; });
        if (found != m_entries.end() && (*found)->bytes == prefix)
            return *found;
        if (length == bytes.size() && found != m_entries.end() && (*found)->bytes.substr(0, length) == prefix)
            needMore = true; // a listed sequence starts with all the bytes there are
    }
    return nullptr;
}

} // namespace papyrant
