#include "platform/win32/Win32Registry.h"

#include "platform/win32/AnsiText.h"

#include <array>
#include <windows.h>

namespace papyrant {

namespace {

// Query value, set value, create sub-key, enumerate sub-keys, notify, create link: no standard rights.
constexpr REGSAM kWriteAccess = 0x3F;
constexpr std::size_t kDefaultValueBuffer = 260;

HKEY rootOf(RegistryHive hive)
{
    return hive == RegistryHive::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
}

// Closes a key that was really opened, and only that.
class OpenKey
{
public:
    OpenKey() = default;
    ~OpenKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY* out()
    {
        return &m_key;
    }
    HKEY get() const
    {
        return m_key;
    }

private:
    HKEY m_key = nullptr;
};

std::optional<std::string> readDefaultValue(HKEY root, const std::string& ansiPath)
{
    OpenKey key;
    if (::RegOpenKeyA(root, ansiPath.c_str(), key.out()) != ERROR_SUCCESS || !key.get())
        return std::nullopt;
    std::array<char, kDefaultValueBuffer> buffer {};
    LONG size = static_cast<LONG>(buffer.size());
    if (::RegQueryValueA(key.get(), "", buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    // A value stored without its terminator may fill the buffer to the last byte.
    std::string_view text(buffer.data(), buffer.size());
    return fromAnsi(text.substr(0, text.find('\0')));
}

std::optional<std::string> readNamedValue(HKEY root, const std::string& ansiPath, const std::string& ansiName)
{
    OpenKey key;
    if (::RegOpenKeyExA(root, ansiPath.c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS || !key.get())
        return std::nullopt;
    // The value may change between the two queries; try again when it grew.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExA(key.get(), ansiName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return std::nullopt;
        std::string data(size, '\0');
        const LONG result = ::RegQueryValueExA(
            key.get(), ansiName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        data.resize(size);
        return fromAnsi(std::string_view(data).substr(0, data.find('\0')));
    }
    return std::nullopt;
}

} // namespace

Expected<void> Win32Registry::writeStrings(
    RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values)
{
    OpenKey key;
    DWORD disposition = 0;
    const std::optional<std::string> ansiPath = toAnsi(keyPath);
    if (!ansiPath
        || ::RegCreateKeyExA(
               rootOf(hive), ansiPath->c_str(), 0, nullptr, 0, kWriteAccess, nullptr, key.out(), &disposition)
            != ERROR_SUCCESS
        || !key.get())
        return Unexpected { "cannot open the key \"" + keyPath + "\" for writing" }; // nothing is written through it
    std::string unwritable;
    for (const RegistryString& value : values) {
        // A text the code page cannot hold is not written at all: a look-alike path would send the PDF elsewhere.
        const std::optional<std::string> name = toAnsi(value.name);
        const std::optional<std::string> data = toAnsi(value.text);
        if (!name || !data) {
            unwritable = "\"" + value.name + "\" cannot be written in the system's code page";
            continue;
        }
        // A text value's size counts its terminating NUL, as the readers (the PDF printer's driver) expect:
        // "1" is written with size 2, and the empty text as one NUL.
        const LONG result = ::RegSetValueExA(key.get(), name->c_str(), 0, REG_SZ,
            reinterpret_cast<const BYTE*>(data->c_str()), static_cast<DWORD>(data->size() + 1));
        if (result != ERROR_SUCCESS && unwritable.empty())
            unwritable = "cannot write \"" + value.name + "\"";
    }
    if (!unwritable.empty())
        return Unexpected { "cannot write every value under \"" + keyPath + "\": " + unwritable };
    return {};
}

std::optional<std::string> Win32Registry::readString(
    RegistryHive hive, const std::string& keyPath, const std::string& valueName)
{
    const std::optional<std::string> ansiPath = toAnsi(keyPath);
    const std::optional<std::string> ansiName = toAnsi(valueName);
    if (!ansiPath || !ansiName)
        return std::nullopt; // no key of that name can be reached through the code page
    if (valueName.empty())
        return readDefaultValue(rootOf(hive), *ansiPath);
    return readNamedValue(rootOf(hive), *ansiPath, *ansiName);
}

std::unique_ptr<Registry> openUserRegistry()
{
    return std::make_unique<Win32Registry>();
}

} // namespace papyrant
