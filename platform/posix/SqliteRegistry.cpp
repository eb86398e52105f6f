#include "platform/posix/SqliteRegistry.h"

#include "text/NameCase.h"
#include "text/Utf8.h"

#include <utility>

namespace papyrant {

namespace {

// Key and value names compare without regard to case, as in the registry: each character is stored in its
// upper-case form, a byte that is not UTF-8 as itself.
std::string folded(const std::string& name)
{
    std::string result;
    result.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const Utf8Char ch = utf8CharAt(name, i);
        if (!ch.valid) {
            result += name[i];
        } else {
            utf8::append(result, upperCaseForComparison(ch.codePoint));
        }
        i += ch.length;
    }
    return result;
}

// The key path and each of its parents, e.g. "a\b\c" gives "a", "a\b", "a\b\c". Nothing for a path with an
// empty key name (a leading, doubled or trailing "\") or a NUL. The empty path is the hive itself.
std::optional<std::vector<std::string>> keyPrefixes(const std::string& keyPath)
{
    std::vector<std::string> prefixes;
    if (keyPath.empty())
        return prefixes;
    if (keyPath.find('\0') != std::string::npos)
        return std::nullopt;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = keyPath.find('\\', start);
        const std::size_t stop = end == std::string::npos ? keyPath.size() : end;
        if (stop == start)
            return std::nullopt;
        prefixes.push_back(keyPath.substr(0, stop));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return prefixes;
}

int hiveNumber(RegistryHive hive)
{
    return hive == RegistryHive::CurrentUser ? 1 : 2;
}

} // namespace

SqliteRegistry::SqliteRegistry(std::string databasePath)
    : m_db(std::make_shared<SqliteConnection>(std::move(databasePath)))
{
}

SqliteRegistry::SqliteRegistry(std::shared_ptr<SqliteConnection> connection)
    : m_db(std::move(connection))
{
}

Expected<void> SqliteRegistry::writeStrings(
    RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values)
{
    const auto prefixes = keyPrefixes(keyPath);
    if (!prefixes) {
        return Unexpected { "invalid key path \"" + keyPath + "\"" };
    }
    for (const auto& value : values) {
        if (value.name.find('\0') != std::string::npos) {
            return Unexpected { "invalid value name" };
        }
    }
    const bool written = m_db->inTransaction("cannot write", [&] {
        SqliteStatement addKey(
            m_db->handle(), "INSERT OR IGNORE INTO registry_keys(hive, folded, path) VALUES(?1, ?2, ?3)");
        for (const auto& prefix : *prefixes) {
            if (!addKey.bind(1, hiveNumber(hive)).bind(2, folded(prefix)).bind(3, prefix).run())
                return false;
        }
        // An existing value keeps the spelling of its name, as in the registry.
        SqliteStatement set(m_db->handle(),
            "INSERT INTO registry_values(hive, key_folded, folded_name, name, data) "
            "VALUES(?1, ?2, ?3, ?4, ?5) "
            "ON CONFLICT(hive, key_folded, folded_name) DO UPDATE SET data = excluded.data");
        for (const auto& value : values) {
            if (!set.bind(1, hiveNumber(hive))
                     .bind(2, folded(keyPath))
                     .bind(3, folded(value.name))
                     .bind(4, value.name)
                     .bind(5, value.text)
                     .run())
                return false;
        }
        return true;
    });
    if (!written)
        return Unexpected { m_db->errorText() };
    return {};
}

std::optional<std::string> SqliteRegistry::readString(
    RegistryHive hive, const std::string& keyPath, const std::string& valueName)
{
    if (!keyPrefixes(keyPath) || !m_db->connected())
        return std::nullopt;
    SqliteStatement get(
        m_db->handle(), "SELECT data FROM registry_values WHERE hive = ?1 AND key_folded = ?2 AND folded_name = ?3");
    get.bind(1, hiveNumber(hive)).bind(2, folded(keyPath)).bind(3, folded(valueName));
    const int result = get.step();
    if (result == SQLITE_ROW)
        return get.blob(0);
    if (result != SQLITE_DONE)
        m_db->noteError("cannot read");
    return std::nullopt;
}

bool SqliteRegistry::keyExists(RegistryHive hive, const std::string& keyPath)
{
    if (!keyPrefixes(keyPath) || !m_db->connected())
        return false;
    if (keyPath.empty())
        return true;
    SqliteStatement get(m_db->handle(), "SELECT 1 FROM registry_keys WHERE hive = ?1 AND folded = ?2");
    get.bind(1, hiveNumber(hive)).bind(2, folded(keyPath));
    return get.step() == SQLITE_ROW;
}

std::unique_ptr<Registry> openUserRegistry()
{
    return std::make_unique<SqliteRegistry>(SqliteConnection::defaultDatabasePath());
}

} // namespace papyrant
