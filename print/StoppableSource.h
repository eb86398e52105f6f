#pragma once

#include "print/FileByteSource.h"

#include <atomic>

namespace papyrant {

// Thrown by a StoppableSource once the stop is raised; whoever prints from it writes nothing more.
struct StopRaised
{
};

// The bytes of an open regular file, until a stop is raised: then the next read throws StopRaised, which ends
// the print-out where it is.
class StoppableSource : public ByteSource
{
public:
    // Takes the descriptor over; `stop` may be null (never stopped).
    StoppableSource(int fd, const std::atomic<bool>* stop)
        : m_file(fd)
        , m_stop(stop)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        if (m_stop && m_stop->load(std::memory_order_relaxed))
            throw StopRaised();
        return m_file.read(buffer, size);
    }
    void rewind() override
    {
        m_file.rewind();
    }

private:
    FileByteSource m_file;
    const std::atomic<bool>* m_stop;
};

} // namespace papyrant
