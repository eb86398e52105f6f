#pragma once

#include <stdexcept>
#include <string>

namespace papyrant {

// The bytes of the file to print could not be read; what() says why, in the system's words.
class ReadError : public std::runtime_error
{
public:
    explicit ReadError(const std::string& reason)
        : std::runtime_error(reason)
    {
    }
};

} // namespace papyrant
