// The registry stand-in's key paths and value names: a write of any key path and value name either succeeds
// and reads back (in any ASCII case), or is refused cleanly for a path or name the registry cannot hold.
#include "platform/posix/SqliteRegistry.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdlib>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>

namespace {

using papyrant::fuzz::require;

// Runs between fresh databases, so that the file stays small however long the fuzzer runs.
constexpr int kRunsPerDatabase = 256;

std::filesystem::path g_configHome;
std::unique_ptr<papyrant::SqliteRegistry> g_registry;
int g_runs = 0;

void removeConfigHome()
{
    g_registry.reset();
    std::error_code ignored;
    std::filesystem::remove_all(g_configHome, ignored);
}

papyrant::SqliteRegistry& registry()
{
    if (g_registry && ++g_runs < kRunsPerDatabase)
        return *g_registry;
    g_registry.reset();
    std::error_code ignored;
    std::filesystem::remove_all(g_configHome / "papyrant", ignored);
    g_registry = std::make_unique<papyrant::SqliteRegistry>(papyrant::SqliteConnection::defaultDatabasePath());
    require(static_cast<bool>(g_registry->usable()), "a fresh database opens");
    g_runs = 0;
    return *g_registry;
}

// A key path the registry can hold: no NUL, and no empty key name between, before or after the "\"s.
bool isHoldableKeyPath(const std::string& keyPath)
{
    if (keyPath.empty())
        return true;
    return keyPath.find('\0') == std::string::npos && keyPath.front() != '\\' && keyPath.back() != '\\'
        && keyPath.find("\\\\") == std::string::npos;
}

std::string asciiUpper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "papyrant-fuzz-XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr, "a temporary configuration folder");
    g_configHome = pattern;
    ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    std::atexit(removeConfigHome);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto hive
        = provider.ConsumeBool() ? papyrant::RegistryHive::CurrentUser : papyrant::RegistryHive::ClassesRoot;
    const std::string keyPath = provider.ConsumeRandomLengthString(128);
    const std::string name = provider.ConsumeRandomLengthString(64);
    const std::string text = provider.ConsumeRemainingBytesAsString();

    auto& store = registry();
    const bool holdable = isHoldableKeyPath(keyPath) && name.find('\0') == std::string::npos;
    const auto write = store.writeStrings(hive, keyPath, { { name, text } });
    const bool written = static_cast<bool>(write);
    require(written == holdable, "a write succeeds exactly when the registry can hold the key and name");
    if (!written) {
        require(!write.reason().empty(), "a refused write says why");
        if (!isHoldableKeyPath(keyPath))
            require(!store.readString(hive, keyPath, name), "an unholdable key path reads as nothing");
        return 0;
    }
    require(store.readString(hive, keyPath, name) == text, "a written value reads back");
    require(store.readString(hive, asciiUpper(keyPath), asciiUpper(name)) == text, "names ignore case");
    require(store.keyExists(hive, keyPath), "a written key exists");
    return 0;
}
