#pragma once

#include "print/ByteSink.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace papyrant {

// A file that appears at its path whole or not at all. The bytes go to an unnamed temporary file in the
// target's folder (O_TMPFILE); commit() gives it a name and renames it over the target, so an old file of that
// name is replaced in one step and a crash or kill before then leaves nothing behind. Where the file system
// has no unnamed files, a hidden named temporary takes its place and is removed on failure.
class AtomicFile : public ByteSink
{
public:
    explicit AtomicFile(std::string targetPath);
    // The file `name` in the open folder `folder` (which must outlive this object), for paths of any length.
    AtomicFile(int folder, std::string name);
    ~AtomicFile() override; // discards what was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false with error() set when that fails.
    bool open();
    // Buffered; false with error() set when the bytes cannot be written (disk full, I/O error).
    bool write(const void* data, std::size_t size) override;
    // Writes out and syncs the bytes, so that a later commit() only names the file; false with error() set.
    bool sync();
    // Writes out, syncs and puts the file in place; false with error() set when any step fails.
    bool commit();
    // The identity (device, inode) the file has now and keeps once committed; false when it cannot be told.
    bool identity(std::uint64_t& device, std::uint64_t& inode) const;

    // The bytes written so far; after commit(), the file's size.
    std::uint64_t size() const
    {
        return m_size;
    }

    // The errno of the first failure, 0 when none.
    int error() const
    {
        return m_error;
    }
    // Which step failed, for a message.
    enum class Step
    {
        None,
        Create,
        Write,
        Rename,
    };
    Step failedStep() const
    {
        return m_failedStep;
    }

private:
    bool flush();
    bool fail(Step step, int error);
    bool linkIntoPlace();

    int m_folderFd; // what m_folder and m_target are relative to
    std::string m_target;
    std::string m_folder;
    std::string m_namedTemp; // set while a named temporary exists
    int m_fd = -1;
    int m_error = 0;
    Step m_failedStep = Step::None;
    std::uint64_t m_size = 0;
    bool m_committed = false;
    bool m_synced = false;
    std::vector<char> m_buffer;
};

} // namespace papyrant
