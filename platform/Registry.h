#pragma once

#include "text/Expected.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

enum class RegistryHive
{
    CurrentUser,
    ClassesRoot,
};

struct RegistryString
{
    std::string name; // the empty name is the key's default value
    std::string text;
};

// String values under keys of the two hives the program uses. Key paths use "\" between key names, which
// compare case-insensitively, as on Windows.
class Registry
{
public:
    virtual ~Registry() = default;
    // Creates the key and its parents when missing and writes the values in order: done when every value was
    // written, else why not. Never throws.
    virtual Expected<void> writeStrings(
        RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values)
        = 0;
    // The value's text, or nothing when the key or the value is missing or cannot be read. Never throws.
    virtual std::optional<std::string> readString(
        RegistryHive hive, const std::string& keyPath, const std::string& valueName)
        = 0;
};

// The current user's registry (on Linux the stand-in database of the user's configuration folder).
std::unique_ptr<Registry> openUserRegistry();

// Writes the values under HKEY_CURRENT_USER, in order, then closes the key. The program's callers carry on
// whatever happens; the result tells whether every value was written.
bool WriteRegistryStrings(Registry& registry, const std::string& keyPath, const std::vector<RegistryString>& values);

// The default value of a key under HKEY_CLASSES_ROOT, read into a 260-character buffer and cut at its first
// NUL; the empty text when the key is missing, the value unset, or too long for the buffer.
std::string ReadRegistryDefault(Registry& registry, const std::string& keyPath);

} // namespace papyrant
