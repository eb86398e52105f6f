#include "tools/papyrant-convert/IdentitySet.h"

namespace papyrant {

namespace {

std::size_t mixed(const FileIdentity& identity)
{
    std::uint64_t h = identity.inode * 0x9e3779b97f4a7c15ULL ^ identity.device;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

} // namespace

std::size_t IdentitySet::slotOf(const FileIdentity& identity) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = mixed(identity) & mask;
    while (m_slots[slot] != 0 && m_identities[m_slots[slot] - 1] != identity)
        slot = (slot + 1) & mask;
    return slot;
}

bool IdentitySet::contains(const FileIdentity& identity) const
{
    return !m_slots.empty() && m_slots[slotOf(identity)] != 0;
}

std::size_t IdentitySet::find(const FileIdentity& identity) const
{
    if (m_slots.empty())
        return m_identities.size();
    const std::uint32_t slot = m_slots[slotOf(identity)];
    return slot != 0 ? slot - 1 : m_identities.size();
}

bool IdentitySet::insert(const FileIdentity& identity)
{
    // At most half full, so that a search ends soon at an empty slot.
    if (2 * (m_identities.size() + 1) > m_slots.size())
        grow();
    const std::size_t slot = slotOf(identity);
    if (m_slots[slot] != 0)
        return false;
    m_identities.push_back(identity);
    m_slots[slot] = static_cast<std::uint32_t>(m_identities.size());
    return true;
}

void IdentitySet::grow()
{
    m_slots.assign(m_slots.empty() ? 64 : 2 * m_slots.size(), 0);
    for (std::size_t i = 0; i < m_identities.size(); ++i)
        m_slots[slotOf(m_identities[i])] = static_cast<std::uint32_t>(i + 1);
}

} // namespace papyrant
