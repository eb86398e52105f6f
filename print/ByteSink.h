#pragma once

#include <cstddef>

namespace papyrant {

// Where a document's bytes go: a file that appears whole, or memory in a test.
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // False once the bytes cannot be written; the sink keeps the reason.
    virtual bool write(const void* data, std::size_t size) = 0;
};

} // namespace papyrant
