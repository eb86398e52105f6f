#pragma once

#include <string>

namespace papyrant {

class Registry;

// The program's per-user settings: text values under HKEY_CURRENT_USER\Software\Quillmark\Papyrant Software.
class SettingsStore
{
public:
    explicit SettingsStore(Registry& registry);

    // The stored text, or the default when the key is missing or cannot be read.
    std::string read(const std::string& key, const std::string& defaultText);
    // A numeric default comes back as its decimal text.
    std::string read(const std::string& key, int defaultNumber);
    // Creates the section when missing. Throws RuntimeError when the value cannot be written.
    void save(const std::string& key, const std::string& value);

private:
    Registry& m_registry;
};

inline constexpr const char* kSettingsKey = "Software\\Quillmark\\Papyrant Software";

// A stored text read as a Boolean, as the runtime converts it: True or False in any letter case, or a number
// (zero is False). Anything else throws RuntimeError 13 (Type mismatch).
bool readBoolean(const std::string& text);

} // namespace papyrant
