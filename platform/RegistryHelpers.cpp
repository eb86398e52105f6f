#include "platform/NativePath.h"
#include "platform/Registry.h"

namespace papyrant {

namespace {
// The buffer the default value is read into, terminator included.
constexpr std::size_t kDefaultValueBuffer = 260;
} // namespace

bool WriteRegistryStrings(Registry& registry, const std::string& keyPath, const std::vector<RegistryString>& values)
{
    return static_cast<bool>(registry.writeStrings(RegistryHive::CurrentUser, keyPath, values));
}

std::string ReadRegistryDefault(Registry& registry, const std::string& keyPath)
{
    std::string text = registry.readString(RegistryHive::ClassesRoot, keyPath, std::string()).value_or(std::string());
    // A value that does not fit the buffer with its terminator cannot be read at all; the buffer counts in the
    // system's code page, not in UTF-8.
    if (systemTextLength(text) >= kDefaultValueBuffer)
        return std::string();
    return text.substr(0, text.find('\0'));
}

} // namespace papyrant
