#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// Told of every change, so that a view can follow the list.
class FileListObserver
{
public:
    virtual ~FileListObserver() = default;
    virtual void entryAboutToBeAdded(std::size_t position) = 0;
    virtual void entryAdded(std::size_t position) = 0;
    virtual void entryAboutToBeRemoved(std::size_t position) = 0;
    virtual void entryRemoved(std::size_t position) = 0;
    virtual void entriesAboutToBeCleared() = 0;
    virtual void entriesCleared() = 0;
    virtual void entryChanged(std::size_t position) = 0;
    // Before setItem replaces the text at position, which is still readable.
    virtual void entryAboutToBeChanged(std::size_t /*position*/) { }
};

// The job list: entries addressed by position 1 to count(), each holding only its text (a path's exact bytes).
// The list never sorts itself and may hold the same text more than once.
class FileList
{
public:
    // Observers are told in the order they were added: the view, and a conversion run that follows the list.
    void addObserver(FileListObserver* observer);
    void removeObserver(FileListObserver* observer);

    std::size_t count() const
    {
        return m_entries.size();
    }
    // Throws RuntimeError (35600, index out of bounds) for a position outside 1 to count().
    const std::string& item(std::size_t position) const;
    void setItem(std::size_t position, std::string text);
    void add(std::string text);
    void remove(std::size_t position);
    void clear();

    const std::vector<std::string>& entries() const
    {
        return m_entries;
    }

private:
    void checkPosition(std::size_t position) const;

    std::vector<std::string> m_entries;
    template <typename F> void tell(F&& message)
    {
        for (FileListObserver* observer : m_observers)
            message(*observer);
    }

    std::vector<FileListObserver*> m_observers;
};

// True when at least one entry's text equals the text exactly.
bool IsInList(const FileList& list, std::string_view text);

} // namespace papyrant
