#include "conversion/ListedSources.h"

namespace papyrant {

void ListedSources::add(const std::string& text)
{
    Entry& entry = m_entries[pathKey(text)];
    if (entry.count++ > 0)
        return;
    entry.text = text;
    if (m_identitiesKnown)
        knowIdentity(entry);
}

void ListedSources::remove(const std::string& text)
{
    const auto found = m_entries.find(pathKey(text));
    if (found == m_entries.end())
        return;
    if (--found->second.count > 0)
        return;
    forgetIdentity(found->second);
    m_entries.erase(found);
}

void ListedSources::clear()
{
    m_entries.clear();
    m_identities.clear();
}

bool ListedSources::holds(const std::string& path)
{
    if (m_entries.count(pathKey(path)) > 0)
        return true;
    // A target that does not exist yet cannot be a listed file under another name.
    const std::optional<FileIdentity> target = fileIdentity(path);
    if (!target)
        return false;
    if (!m_identitiesKnown) {
        m_identitiesKnown = true;
        for (auto& [key, entry] : m_entries)
            knowIdentity(entry);
    }
    return m_identities.count(*target) > 0;
}

void ListedSources::knowIdentity(Entry& entry)
{
    entry.identity = fileIdentity(entry.text);
    if (entry.identity)
        ++m_identities[*entry.identity];
}

void ListedSources::forgetIdentity(const Entry& entry)
{
    if (!entry.identity)
        return;
    const auto found = m_identities.find(*entry.identity);
    if (found != m_identities.end() && --found->second == 0)
        m_identities.erase(found);
}

} // namespace papyrant
