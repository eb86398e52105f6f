#include "platform/posix/SqliteRegistry.h"

#include "text/NameCase.h"
#include "text/Utf8.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace papyrant {

namespace {

constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS registry_keys(
    hive INTEGER NOT NULL, folded BLOB NOT NULL, path BLOB NOT NULL,
    PRIMARY KEY(hive, folded));
CREATE TABLE IF NOT EXISTS registry_values(
    hive INTEGER NOT NULL, key_folded BLOB NOT NULL, folded_name BLOB NOT NULL, name BLOB NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(hive, key_folded, folded_name));
CREATE TABLE IF NOT EXISTS printers(
    position INTEGER PRIMARY KEY AUTOINCREMENT, name BLOB NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS default_printer(
    id INTEGER PRIMARY KEY CHECK(id = 1), name BLOB NOT NULL);
)sql";

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
            const char32_t c = upperCaseForComparison(ch.codePoint);
            if (c < 0x80) {
                result += static_cast<char>(c);
            } else if (c < 0x800) {
                result += static_cast<char>(0xC0 | (c >> 6));
                result += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                result += static_cast<char>(0xE0 | (c >> 12));
                result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                result += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                result += static_cast<char>(0xF0 | (c >> 18));
                result += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                result += static_cast<char>(0x80 | (c & 0x3F));
            }
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

// One prepared statement, finalised when it goes out of scope.
class Statement
{
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    ~Statement()
    {
        sqlite3_finalize(m_statement);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const
    {
        return m_statement != nullptr;
    }
    Statement& bind(int index, int value)
    {
        if (m_statement)
            sqlite3_bind_int(m_statement, index, value);
        return *this;
    }
    Statement& bind(int index, const std::string& value)
    {
        if (m_statement)
            sqlite3_bind_blob(m_statement, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step()
    {
        return m_statement ? sqlite3_step(m_statement) : SQLITE_ERROR;
    }
    // Runs a statement that gives no rows and makes it ready to run again.
    bool run()
    {
        const bool done = step() == SQLITE_DONE;
        if (m_statement)
            sqlite3_reset(m_statement);
        return done;
    }
    std::string blob(int column) const
    {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        const int size = sqlite3_column_bytes(m_statement, column);
        return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
    }
    int integer(int column) const
    {
        return sqlite3_column_int(m_statement, column);
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/tmp";
}

} // namespace

bool makeParentFolders(const std::string& path)
{
    std::size_t slash = path.find('/', 1);
    while (slash != std::string::npos) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        slash = path.find('/', slash + 1);
    }
    return true;
}

bool isValidPrinterName(const std::string& name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\' || c == ',')
            return false;
    }
    return true;
}

SqliteRegistry::SqliteRegistry(std::string databasePath)
    : m_path(std::move(databasePath))
{
    open();
}

SqliteRegistry::~SqliteRegistry()
{
    sqlite3_close(m_db);
}

std::string SqliteRegistry::defaultDatabasePath()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the XDG rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config && config[0] == '/' ? std::string(config) : homeFolder() + "/.config";
    return folder + "/papyrant/registry.sqlite";
}

bool SqliteRegistry::open()
{
    if (!makeParentFolders(m_path)) {
        m_error = m_path + ": cannot create its folder: " + std::strerror(errno);
        return false;
    }
    if (sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        noteError("cannot open");
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // WAL lets readers go on while another program writes; a database that refuses it still works.
    sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (!inTransaction(
            "cannot open", [&] { return sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK; })) {
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    return true;
}

void SqliteRegistry::noteError(const std::string& what)
{
    m_error = m_path + ": " + what + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory");
}

bool SqliteRegistry::connected()
{
    // A database that was busy or missing its folder at the first try may be usable later.
    return m_db != nullptr || open();
}

template <typename Body> bool SqliteRegistry::inTransaction(const char* what, Body&& body)
{
    if (!connected())
        return false;
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        noteError(what);
        return false;
    }
    if (!body()) {
        noteError(what);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        noteError(what);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool SqliteRegistry::writeStrings(
    RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values)
{
    const auto prefixes = keyPrefixes(keyPath);
    if (!prefixes) {
        m_error = "invalid key path \"" + keyPath + "\"";
        return false;
    }
    for (const auto& value : values) {
        if (value.name.find('\0') != std::string::npos) {
            m_error = "invalid value name";
            return false;
        }
    }
    return inTransaction("cannot write", [&] {
        Statement addKey(m_db, "INSERT OR IGNORE INTO registry_keys(hive, folded, path) VALUES(?1, ?2, ?3)");
        for (const auto& prefix : *prefixes) {
            if (!addKey.bind(1, hiveNumber(hive)).bind(2, folded(prefix)).bind(3, prefix).run())
                return false;
        }
        // An existing value keeps the spelling of its name, as in the registry.
        Statement set(m_db,
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
}

std::optional<std::string> SqliteRegistry::readString(
    RegistryHive hive, const std::string& keyPath, const std::string& valueName)
{
    if (!keyPrefixes(keyPath) || !connected())
        return std::nullopt;
    Statement get(m_db, "SELECT data FROM registry_values WHERE hive = ?1 AND key_folded = ?2 AND folded_name = ?3");
    get.bind(1, hiveNumber(hive)).bind(2, folded(keyPath)).bind(3, folded(valueName));
    const int result = get.step();
    if (result == SQLITE_ROW)
        return get.blob(0);
    if (result != SQLITE_DONE)
        noteError("cannot read");
    return std::nullopt;
}

bool SqliteRegistry::keyExists(RegistryHive hive, const std::string& keyPath)
{
    if (!keyPrefixes(keyPath) || !connected())
        return false;
    if (keyPath.empty())
        return true;
    Statement get(m_db, "SELECT 1 FROM registry_keys WHERE hive = ?1 AND folded = ?2");
    get.bind(1, hiveNumber(hive)).bind(2, folded(keyPath));
    return get.step() == SQLITE_ROW;
}

std::optional<std::vector<std::string>> SqliteRegistry::printers()
{
    if (!connected())
        return std::nullopt;
    Statement list(m_db, "SELECT name FROM printers ORDER BY position");
    std::vector<std::string> names;
    int result = list.step();
    for (; result == SQLITE_ROW; result = list.step())
        names.push_back(list.blob(0));
    if (result != SQLITE_DONE) {
        noteError("cannot read the printers");
        return std::nullopt;
    }
    return names;
}

std::optional<std::string> SqliteRegistry::defaultPrinter()
{
    if (!connected())
        return std::nullopt;
    Statement get(m_db, "SELECT name FROM default_printer WHERE id = 1");
    const int result = get.step();
    if (result == SQLITE_ROW)
        return get.blob(0);
    if (result != SQLITE_DONE)
        noteError("cannot read the default printer");
    return std::nullopt;
}

PrinterChange SqliteRegistry::addPrinter(const std::string& name)
{
    if (!isValidPrinterName(name)) {
        m_error = "invalid printer name \"" + name + "\"";
        return PrinterChange::Failed;
    }
    bool added = false;
    const bool ok = inTransaction("cannot write", [&] {
        Statement add(m_db, "INSERT OR IGNORE INTO printers(name) VALUES(?1)");
        if (!add.bind(1, name).run())
            return false;
        added = sqlite3_changes(m_db) > 0;
        // The first printer installed becomes the default, as on Windows.
        Statement first(m_db, "INSERT OR IGNORE INTO default_printer(id, name) VALUES(1, ?1)");
        return first.bind(1, name).run();
    });
    if (!ok)
        return PrinterChange::Failed;
    return added ? PrinterChange::Done : PrinterChange::Unchanged;
}

PrinterChange SqliteRegistry::removePrinter(const std::string& name)
{
    bool removed = false;
    const bool ok = inTransaction("cannot write", [&] {
        Statement remove(m_db, "DELETE FROM printers WHERE name = ?1");
        if (!remove.bind(1, name).run())
            return false;
        removed = sqlite3_changes(m_db) > 0;
        Statement dropDefault(m_db, "DELETE FROM default_printer WHERE name = ?1");
        if (!dropDefault.bind(1, name).run())
            return false;
        Statement next(m_db,
            "INSERT OR IGNORE INTO default_printer(id, name) "
            "SELECT 1, name FROM printers ORDER BY position LIMIT 1");
        return next.run();
    });
    if (!ok)
        return PrinterChange::Failed;
    return removed ? PrinterChange::Done : PrinterChange::Unchanged;
}

bool SqliteRegistry::setDefaultPrinter(const std::string& name)
{
    bool known = false;
    const bool ok = inTransaction("cannot write", [&] {
        Statement find(m_db, "SELECT 1 FROM printers WHERE name = ?1");
        find.bind(1, name);
        const int result = find.step();
        if (result != SQLITE_ROW)
            return result == SQLITE_DONE; // an unknown name changes nothing
        known = true;
        Statement set(m_db, "INSERT OR REPLACE INTO default_printer(id, name) VALUES(1, ?1)");
        return set.bind(1, name).run();
    });
    if (ok && !known)
        m_error = "the printer \"" + name + "\" is not installed";
    return ok && known;
}

std::unique_ptr<Registry> openUserRegistry()
{
    return std::make_unique<SqliteRegistry>(SqliteRegistry::defaultDatabasePath());
}

} // namespace papyrant
