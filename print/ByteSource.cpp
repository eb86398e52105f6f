#include "print/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace papyrant {

std::size_t MemoryByteSource::read(char* buffer, std::size_t size)
{
    const std::size_t count = std::min(size, m_bytes.size() - m_offset);
    if (count > 0)
        std::memcpy(buffer, m_bytes.data() + m_offset, count);
    m_offset += count;
    return count;
}

} // namespace papyrant
