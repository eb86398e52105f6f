#pragma once

#include "print/ByteSink.h"

#include <string>

namespace papyrant::test {

// A sink that keeps every byte, for reading a PDF back in a test.
class MemorySink : public ByteSink
{
public:
    bool write(const void* data, std::size_t size) override
    {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    std::string bytes;
};

} // namespace papyrant::test
