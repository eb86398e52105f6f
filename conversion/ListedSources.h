#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>

namespace papyrant {

// The list's entries as the conversion run asks about them: is this target a listed file? The texts are kept in
// a set that follows the list (add, remove, clear as the list changes), so each question costs one look-up, not
// a walk over the list. A target that already exists is also compared by file identity with what the entries
// name, so that no other name of a listed file ("./", "..", a link to its folder, another case on a file system
// that ignores case, a hard link) lets a PDF replace it.
class ListedSources
{
public:
    void add(const std::string& text);
    // One entry with this text has left the list (the same text may be listed more than once).
    void remove(const std::string& text);
    void clear();

    // True when the path is a listed text, compared as the file system compares names, or names an existing file
    // that a listed entry names too.
    bool holds(const std::string& path);

private:
    struct Entry
    {
        std::string text;
        std::size_t count = 0;
        std::optional<FileIdentity> identity; // once identities are known
    };

    void knowIdentity(Entry& entry);
    void forgetIdentity(const Entry& entry);

    std::unordered_map<std::string, Entry> m_entries; // by pathKey
    // The identities of the files the entries name; asked for only once a target exists, then kept up to date.
    std::unordered_map<FileIdentity, std::size_t, FileIdentityHash> m_identities;
    bool m_identitiesKnown = false;
};

} // namespace papyrant
