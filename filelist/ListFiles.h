#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// The 1-based array of bare file names that ListFiles returns: elements 1 to n, or, when nothing matched, the
// single element 0 holding the empty text (bounds 0 to 0), so that a loop from 1 to upperBound() does nothing.
class FileNameArray
{
public:
    FileNameArray() = default;
    explicit FileNameArray(std::vector<std::string> names)
        : m_names(std::move(names))
    {
    }

    std::size_t lowerBound() const
    {
        return m_names.empty() ? 0 : 1;
    }
    std::size_t upperBound() const
    {
        return m_names.size();
    }
    // Throws RuntimeError 9 (subscript out of range) outside the bounds.
    const std::string& operator()(std::size_t index) const;

    const std::vector<std::string>& names() const
    {
        return m_names;
    }

private:
    std::vector<std::string> m_names;
};

// The names of the existing files of one folder (a closing separator is optional) that match the wildcard, in
// listing order, hidden files included, folders never. A folder that does not exist lists nothing, as the
// runtime's enumeration does; other failures throw RuntimeError to the caller's guard.
FileNameArray ListFiles(const std::string& folder, std::string_view pattern);

} // namespace papyrant
