#include "platform/FileSystem.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32Attributes.h"
#include "platform/win32/Win32ErrorMapping.h"
#include "platform/win32/Win32FileInformation.h"
#include "runtime/RuntimeError.h"

#include <array>
#include <string>
#include <vector>

// The system headers need <windows.h> first.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

namespace papyrant {

namespace {

std::wstring upperCase(std::string_view text)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
        ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return wide;
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

bool pathsEqual(std::string_view a, std::string_view b)
{
    if (a.size() == b.size() && a == b)
        return true;
    return upperCase(a) == upperCase(b);
}

std::string pathKey(std::string_view path)
{
    const std::wstring upper = upperCase(path);
    return std::string(reinterpret_cast<const char*>(upper.data()), upper.size() * sizeof(wchar_t));
}

bool isRootFolder(std::string_view path)
{
    std::string_view rest;
    if (path.size() >= 2 && path[1] == ':'
        && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        rest = path.substr(2);
        return !rest.empty() && rest.find_first_not_of("\\/") == std::string_view::npos;
    }
    // \\server\share, with at most a closing separator after the share's name.
    if (path.size() < 2 || !isSeparator(path[0]) || !isSeparator(path[1]))
        return false;
    rest = path.substr(2);
    const auto serverEnd = rest.find_first_of("\\/");
    if (serverEnd == 0 || serverEnd == std::string_view::npos || serverEnd + 1 >= rest.size())
        return false;
    const std::string_view share = rest.substr(serverEnd + 1);
    const auto shareEnd = share.find_first_of("\\/");
    return shareEnd != 0 && (shareEnd == std::string_view::npos || shareEnd + 1 == share.size());
}

bool FileExists(const std::string& path)
{
    // Any path for which the system reports a last-write time: a file or a folder.
    // A name the code page cannot hold would be asked about as a look-alike: it names nothing the program can use.
    WIN32_FILE_ATTRIBUTE_DATA data {};
    const std::optional<std::string> ansi = toAnsi(path);
    return !path.empty() && ansi && ::GetFileAttributesExA(ansi->c_str(), GetFileExInfoStandard, &data) != 0;
}

bool FolderExists(const std::string& path)
{
    const std::optional<std::string> ansi = toAnsi(path);
    if (path.empty() || !ansi)
        return false;
    const DWORD attributes = ::GetFileAttributesA(ansi->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsExistingFile(const std::string& path)
{
    const std::optional<std::string> ansi = toAnsi(path);
    if (path.empty() || !ansi)
        return false;
    // No access asked for: attribute queries only, so a file in use still opens, and a folder never does.
    const HANDLE handle = ::CreateFileA(ansi->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(handle);
    return true;
}

bool fileInformation(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    if (path.empty()) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    // No access asked for; a folder opens only with backup semantics. Identities come from the wide entry point,
    // as the listings do: the scan must recognise a folder whatever its name.
    const HANDLE handle = ::CreateFileW(toWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const BOOL ok = ::GetFileInformationByHandle(handle, &info);
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    ::SetLastError(error);
    return ok != 0;
}

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!fileInformation(path, info))
        return std::nullopt;
    return identityOf(info);
}

int GetAttributes(const std::string& path)
{
    const bool folderForm = !path.empty() && isSeparator(path.back());
    if (path.empty())
        throw RuntimeError(err::kFileNotFound);
    const std::optional<std::string> ansi = toAnsi(path);
    if (!ansi)
        throw RuntimeError(folderForm ? err::kPathNotFound : err::kFileNotFound);
    const DWORD attributes = ::GetFileAttributesA(ansi->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw RuntimeError(runtimeErrorFromWin32(::GetLastError(), folderForm ? PathKind::Folder : PathKind::File));
    return runtimeAttributes(attributes);
}

std::string GetDesktopFolder()
{
    // The shell's own owner-window value of 100 is no window of ours; no owner is passed.
    LPITEMIDLIST item = nullptr;
    std::string folder;
    if (::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &item) == S_OK && item) {
        std::array<char, 512> buffer {};
        if (::SHGetPathFromIDListA(item, buffer.data()))
            folder = fromAnsi(std::string_view(buffer.data()));
        ::CoTaskMemFree(item);
    }
    if (folder.empty())
        throw RuntimeError(err::kInvalidProcedureCall);
    while (folder.size() > 3 && isSeparator(folder.back()))
        folder.pop_back();
    return isSeparator(folder.back()) ? folder : folder + kNativeSeparator;
}

std::string programFolder()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return ".";
        if (length < buffer.size()) {
            std::string path = fromAnsi(std::string_view(buffer.data(), length));
            const auto separator = path.find_last_of("\\/");
            if (separator == std::string::npos)
                return ".";
            // A program at a drive root keeps the root's separator: "C:\".
            return separator <= 2 ? path.substr(0, separator + 1) : path.substr(0, separator);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace papyrant
