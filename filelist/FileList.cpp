#include "filelist/FileList.h"

#include "runtime/RuntimeError.h"

#include <utility>

namespace papyrant {

void FileList::checkPosition(std::size_t position) const
{
    if (position < 1 || position > m_entries.size())
        throw RuntimeError(err::kIndexOutOfBounds);
}

const std::string& FileList::item(std::size_t position) const
{
    checkPosition(position);
    return m_entries[position - 1];
}

void FileList::addObserver(FileListObserver* observer)
{
    m_observers.push_back(observer);
}

void FileList::removeObserver(FileListObserver* observer)
{
    std::erase(m_observers, observer);
}

void FileList::setItem(std::size_t position, std::string text)
{
    checkPosition(position);
    tell([&](FileListObserver& o) { o.entryAboutToBeChanged(position); });
    m_entries[position - 1] = std::move(text);
    tell([&](FileListObserver& o) { o.entryChanged(position); });
}

void FileList::add(std::string text)
{
    const std::size_t position = m_entries.size() + 1;
    tell([&](FileListObserver& o) { o.entryAboutToBeAdded(position); });
    m_entries.push_back(std::move(text));
    tell([&](FileListObserver& o) { o.entryAdded(position); });
}

void FileList::remove(std::size_t position)
{
    checkPosition(position);
    tell([&](FileListObserver& o) { o.entryAboutToBeRemoved(position); });
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position - 1));
    tell([&](FileListObserver& o) { o.entryRemoved(position); });
}

void FileList::clear()
{
    tell([&](FileListObserver& o) { o.entriesAboutToBeCleared(); });
    m_entries.clear();
    tell([&](FileListObserver& o) { o.entriesCleared(); });
}

bool IsInList(const FileList& list, std::string_view text)
{
    // Walks every entry, as the original did; no early exit.
    bool found = false;
    for (const std::string& entry : list.entries())
        found |= (entry == text);
    return found;
}

} // namespace papyrant
