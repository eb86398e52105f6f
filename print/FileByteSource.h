#pragma once

#include "print/ByteSource.h"
#include "text/Expected.h"

#include <string>

namespace papyrant {

// The bytes of a regular file, read through its descriptor.
class FileByteSource : public ByteSource
{
public:
    // Takes an open descriptor of a regular file and closes it at the end.
    explicit FileByteSource(int fd)
        : m_fd(fd)
    {
    }
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens a regular file for reading. Anything else (a folder, a FIFO, a device) is refused before it is
    // opened, so that opening cannot block. The open descriptor, or why there is none.
    static Expected<int> openRegularFile(const std::string& path);
    // The same for `path` relative to the open folder `folder` (or AT_FDCWD).
    static Expected<int> openRegularFileAt(int folder, const std::string& path);

    std::size_t read(char* buffer, std::size_t size) override;
    void rewind() override;

private:
    int m_fd;
};

} // namespace papyrant
