#pragma once

#include "platform/Registry.h"

namespace papyrant {

// The real registry through its ANSI entry points. Keys are opened and closed within each call.
class Win32Registry : public Registry
{
public:
    Expected<void> writeStrings(
        RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values) override;
    // The default value goes through the classic query with its 260-character buffer; a value that does not
    // fit gives nothing. Named values are read whole.
    std::optional<std::string> readString(
        RegistryHive hive, const std::string& keyPath, const std::string& valueName) override;
};

} // namespace papyrant
