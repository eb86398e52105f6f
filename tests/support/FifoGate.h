#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace papyrant::test {

// A gate that a child process waits at: a named pipe from which it reads one line (in a stand-in script,
// `read go < GATE`). The child stays there until the test opens the gate, so what follows happens at an event
// the test chooses, never after a time.
class FifoGate
{
public:
    explicit FifoGate(std::filesystem::path path)
        : m_path(std::move(path))
    {
        if (::mkfifo(m_path.c_str(), 0600) != 0)
            throw std::runtime_error("cannot make the gate " + m_path.string());
    }

    const std::filesystem::path& path() const
    {
        return m_path;
    }

    // Lets the waiting child through; blocks until a child has the gate open for reading.
    void open() const
    {
        std::ofstream(m_path) << "go\n";
    }

private:
    std::filesystem::path m_path;
};

} // namespace papyrant::test
