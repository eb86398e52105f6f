#include "platform/posix/SqliteConnection.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
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

SqliteConnection::SqliteConnection(std::string databasePath)
    : m_path(std::move(databasePath))
{
    open();
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(m_db);
}

std::string SqliteConnection::defaultDatabasePath()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the XDG rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config && config[0] == '/' ? std::string(config) : homeFolder() + "/.config";
    return folder + "/papyrant/registry.sqlite";
}

bool SqliteConnection::open()
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

void SqliteConnection::noteError(const std::string& what)
{
    m_error = m_path + ": " + what + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory");
}

bool SqliteConnection::connected()
{
    // A database that was busy or missing its folder at the first try may be usable later.
    return m_db != nullptr || open();
}

bool SqliteConnection::inTransaction(const char* what, const std::function<bool()>& body)
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

} // namespace papyrant
