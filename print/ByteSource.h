#pragma once

#include <cstddef>
#include <string_view>

namespace papyrant {

// Where the decoder takes its bytes from: a file read piece by piece, or a text held in memory.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes; 0 at the end. Throws ReadError when the bytes cannot be read.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // Starts again from the first byte. Throws ReadError when that is not possible.
    virtual void rewind() = 0;
};

class MemoryByteSource : public ByteSource
{
public:
    explicit MemoryByteSource(std::string_view bytes)
        : m_bytes(bytes)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override;
    void rewind() override
    {
        m_offset = 0;
    }

private:
    std::string_view m_bytes;
    std::size_t m_offset = 0;
};

} // namespace papyrant
