#pragma once

#include <cstddef>
#include <string>

namespace papyrant {

// The shell's folder picker: the chosen folder without a closing separator (a root as the root itself), or the
// empty text when the user cancels.
class FolderPicker
{
public:
    virtual ~FolderPicker() = default;
    virtual std::string browseForFolder(const std::string& title, const std::string& startFolder) = 0;
};

struct FileOpenRequest
{
    std::string title;
    std::string filter;
    unsigned flags = 0;
    std::size_t bufferSize = 30000;
};

// The file-open dialog. Its result is one full path, or the folder and then each chosen name separated by NUL
// characters, or the empty text when cancelled. A result longer than the buffer throws error 20476.
class FileOpenDialog
{
public:
    virtual ~FileOpenDialog() = default;
    virtual std::string showOpen(const FileOpenRequest& request) = 0;
};

// Opens a folder in the desktop's file manager; nothing happens when there is none.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    virtual void openFolder(const std::string& path) = 0;
};

} // namespace papyrant
