#include "platform/FileSnapshot.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32FileInformation.h"

#include <windows.h>

namespace papyrant {

std::optional<FileSnapshot> fileSnapshot(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!fileInformation(path, info))
        return std::nullopt;
    FileSnapshot snapshot;
    snapshot.identity = identityOf(info);
    snapshot.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    snapshot.writeTime = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime);
    snapshot.regular = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    return snapshot;
}

bool opensWithoutWriteSharing(const std::string& path)
{
    // A name the code page cannot hold would open another file, or none.
    const std::optional<std::string> ansi = toAnsi(path);
    if (path.empty() || !ansi)
        return false;
    // Sharing reads only: the open fails while any handle to the file may write it.
    const HANDLE handle = ::CreateFileA(
        ansi->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool regular = ::GetFileType(handle) == FILE_TYPE_DISK;
    ::CloseHandle(handle);
    return regular;
}

} // namespace papyrant
