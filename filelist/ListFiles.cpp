#include "filelist/ListFiles.h"

#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h" // kNativeSeparator
#include "runtime/RuntimeError.h"

namespace papyrant {

const std::string& FileNameArray::operator()(std::size_t index) const
{
    static const std::string kEmptyElement;
    if (m_names.empty() && index == 0)
        return kEmptyElement;
    if (index < 1 || index > m_names.size())
        throw RuntimeError(err::kSubscriptOutOfRange);
    return m_names[index - 1];
}

FileNameArray ListFiles(const std::string& folder, std::string_view pattern)
{
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != kNativeSeparator)
        prefix += kNativeSeparator;
    std::vector<std::string> names;
    try {
        names = listMatchingFileNames(prefix, pattern);
    } catch (const RuntimeError& error) {
        if (error.number() != err::kPathNotFound)
            throw;
    }
    return FileNameArray(std::move(names));
}

} // namespace papyrant
