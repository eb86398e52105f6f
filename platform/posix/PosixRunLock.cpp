#include "platform/RunLock.h"
#include "platform/posix/SqliteConnection.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace papyrant {

namespace {

// An flock on run.lock beside the registry database. The kernel drops it when the descriptor closes, also when
// the program is killed, so a crashed run never blocks the next one. Close-on-exec keeps it out of padprint.
class FlockRunLock : public RunLock
{
public:
    explicit FlockRunLock(int fd)
        : m_fd(fd)
    {
    }
    ~FlockRunLock() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FlockRunLock(const FlockRunLock&) = delete;
    FlockRunLock& operator=(const FlockRunLock&) = delete;

private:
    int m_fd;
};

std::string runLockPath()
{
    const std::string database = SqliteConnection::defaultDatabasePath();
    return database.substr(0, database.rfind('/') + 1) + "run.lock";
}

} // namespace

std::unique_ptr<RunLock> tryAcquireRunLock()
{
    const std::string path = runLockPath();
    if (!makeParentFolders(path))
        return std::make_unique<FlockRunLock>(-1);
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return std::make_unique<FlockRunLock>(-1);
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return std::make_unique<FlockRunLock>(fd);
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK)
        return nullptr;
    // A file system without locks: nobody could ever hold it.
    return std::make_unique<FlockRunLock>(-1);
}

} // namespace papyrant
