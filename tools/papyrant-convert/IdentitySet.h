#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace papyrant {

// The identities of a batch's source files, to take each file once and to refuse a PDF that would write over one
// of them. A few dozen bytes a file, where a node-based set costs several times that.
class IdentitySet
{
public:
    // Adds the identity; false when it was there already.
    bool insert(const FileIdentity& identity);
    bool contains(const FileIdentity& identity) const;
    // The place of the identity in the order added, or size() when it is not there.
    std::size_t find(const FileIdentity& identity) const;
    std::size_t size() const
    {
        return m_identities.size();
    }

private:
    std::size_t slotOf(const FileIdentity& identity) const;
    void grow();

    std::deque<FileIdentity> m_identities; // in the order added; a deque grows without copying itself
    std::vector<std::uint32_t> m_slots; // open addressing: 1 + the index of an identity, 0 for an empty slot
};

} // namespace papyrant
