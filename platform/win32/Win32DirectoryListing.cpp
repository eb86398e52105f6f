#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32Attributes.h"
#include "platform/win32/Win32ErrorMapping.h"
#include "platform/win32/Win32FileInformation.h"
#include "runtime/RuntimeError.h"
#include "text/NameCase.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <string>
#include <windows.h>

namespace papyrant {

namespace {

[[noreturn]] void throwFolderError(DWORD lastError)
{
    throw RuntimeError(runtimeErrorFromWin32(lastError, PathKind::Folder));
}

std::string withSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder;
    return folder + kNativeSeparator;
}

class FindHandle
{
public:
    explicit FindHandle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~FindHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const
    {
        return m_handle;
    }

private:
    HANDLE m_handle;
};

// Calls visit(entry) for every entry that the system matches against the search text, "." and ".." left out.
// A folder that does not exist or cannot be read throws; a folder without a match visits nothing.
// Listings use the wide entry point: the ANSI one would hand back a name the code page cannot hold as a look-alike
// ("Apple.xml" for "Āpple.xml") or with "?" in it, and the program would then act on another file or on none.
// The names come back as they are; the program's callers decide what to do with one the code page cannot hold.
template <typename Visit> void forEachEntry(const std::string& folder, const std::string& pattern, Visit&& visit)
{
    WIN32_FIND_DATAW data {};
    const FindHandle find(::FindFirstFileW(toWide(withSeparator(folder) + pattern).c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            // No match: the folder itself must still be there.
            const DWORD attributes = ::GetFileAttributesW(toWide(folder).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                throwFolderError(ERROR_PATH_NOT_FOUND);
            return;
        }
        throwFolderError(error);
    }
    do {
        const std::wstring_view name(data.cFileName);
        if (name != L"." && name != L"..")
            visit(data);
    } while (::FindNextFileW(find.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES)
        throwFolderError(error);
}

// What a path leads to, after links: the volume and the file index.
DirectoryIdentity folderIdentity(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!fileInformation(path, info))
        throwFolderError(::GetLastError());
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        throwFolderError(ERROR_DIRECTORY);
    return identityOf(info);
}

} // namespace

FolderListing listSubfolders(const std::string& folder)
{
    FolderListing listing;
    listing.identity = folderIdentity(folder);
    const std::string prefix = withSeparator(folder);
    forEachEntry(folder, "*", [&](const WIN32_FIND_DATAW& data) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return;
        std::string name = fromWide(data.cFileName);
        DirectoryIdentity identity;
        try {
            identity = folderIdentity(prefix + name);
        } catch (const RuntimeError&) {
            return; // gone since the folder was read, or a link that leads nowhere
        }
        listing.subfolders.push_back({ std::move(name), runtimeAttributes(data.dwFileAttributes), identity });
    });
    std::sort(listing.subfolders.begin(), listing.subfolders.end(),
        [](const SubfolderEntry& a, const SubfolderEntry& b) { return nameSortsBefore(a.name, b.name); });
    return listing;
}

std::vector<std::string> listMatchingFileNames(const std::string& folder, std::string_view pattern)
{
    std::vector<std::string> names;
    forEachEntry(folder, std::string(pattern), [&](const WIN32_FIND_DATAW& data) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return;
        std::string name = fromWide(data.cFileName);
        // The system also matches the short 8.3 name, so "*.xml" would find "a.xmlx" through
        // "A~1.XML": only the long name counts.
        if (matchesWildcard(name, pattern))
            names.push_back(std::move(name));
    });
    std::sort(names.begin(), names.end(), nameSortsBefore);
    return names;
}

} // namespace papyrant
