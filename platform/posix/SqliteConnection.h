#pragma once

#include "text/Expected.h"

#include <functional>
#include <sqlite3.h>
#include <string>

namespace papyrant {

// The connection to the stand-ins' database: one SQLite file per user that holds the registry hives and the
// printer table. Every write is one immediate transaction with a busy timeout, so programs writing at once lose
// nothing. A database that cannot be opened or is not a database makes reads give nothing and writes fail;
// errorText() says why, naming the file.
class SqliteConnection
{
public:
    explicit SqliteConnection(std::string databasePath);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // $XDG_CONFIG_HOME/papyrant/registry.sqlite, or ~/.config/papyrant/registry.sqlite.
    static std::string defaultDatabasePath();

    // Whether the database is open; a database that was busy or missing its folder at the first try is tried
    // again.
    bool connected();
    // The same, with the reason when it cannot be used.
    Expected<void> usable()
    {
        if (connected())
            return {};
        return Unexpected { m_error };
    }
    // Runs body in one immediate transaction; rolls back and notes the error when it or the commit fails.
    bool inTransaction(const char* what, const std::function<bool()>& body);
    // Notes the database's own reason for the failure of `what`.
    void noteError(const std::string& what);

    sqlite3* handle() const
    {
        return m_db;
    }
    const std::string& path() const
    {
        return m_path;
    }
    // Why the last operation failed, naming the database file.
    const std::string& errorText() const
    {
        return m_error;
    }

private:
    bool open();

    std::string m_path;
    sqlite3* m_db = nullptr;
    std::string m_error;
};

// One prepared statement, finalised when it goes out of scope.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    ~SqliteStatement()
    {
        sqlite3_finalize(m_statement);
    }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const
    {
        return m_statement != nullptr;
    }
    SqliteStatement& bind(int index, int value)
    {
        if (m_statement)
            sqlite3_bind_int(m_statement, index, value);
        return *this;
    }
    SqliteStatement& bind(int index, const std::string& value)
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

// Creates the folders above a file that are missing, private to the user (the file's own folder included).
bool makeParentFolders(const std::string& path);

} // namespace papyrant
