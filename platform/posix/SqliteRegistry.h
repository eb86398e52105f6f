#pragma once

#include "platform/Registry.h"

#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace papyrant {

// The outcome of a change to the printer table.
enum class PrinterChange
{
    Done,
    Unchanged, // already so: the printer was installed already, or was not installed
    Failed,
};

// The registry stand-in: one SQLite database per user holding the two hives, and the printer table beside
// them. Every write is one immediate transaction with a busy timeout, so programs writing at once lose
// nothing. A database that cannot be opened or is not a database makes reads give nothing and writes fail;
// errorText() says why.
class SqliteRegistry : public Registry
{
public:
    explicit SqliteRegistry(std::string databasePath);
    ~SqliteRegistry() override;
    SqliteRegistry(const SqliteRegistry&) = delete;
    SqliteRegistry& operator=(const SqliteRegistry&) = delete;

    // $XDG_CONFIG_HOME/papyrant/registry.sqlite, or ~/.config/papyrant/registry.sqlite.
    static std::string defaultDatabasePath();

    bool writeStrings(
        RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values) override;
    std::optional<std::string> readString(
        RegistryHive hive, const std::string& keyPath, const std::string& valueName) override;
    bool keyExists(RegistryHive hive, const std::string& keyPath);

    // Installed printers in the order they were installed; nothing when the table cannot be read.
    std::optional<std::vector<std::string>> printers();
    // The user's default printer; nothing when there is none or it cannot be read.
    std::optional<std::string> defaultPrinter();
    // The first printer installed becomes the default.
    PrinterChange addPrinter(const std::string& name);
    // Removing the default printer makes the first remaining printer the default.
    PrinterChange removePrinter(const std::string& name);
    // Fails for an empty or unknown name.
    bool setDefaultPrinter(const std::string& name);

    // Whether the database could be opened; tries again when it could not.
    bool usable()
    {
        return connected();
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
    bool connected();
    template <typename Body> bool inTransaction(const char* what, Body&& body);
    void noteError(const std::string& what);

    std::string m_path;
    sqlite3* m_db = nullptr;
    std::string m_error;
};

// Printer names the table accepts: not empty, no "\" or "," (as the spooler refuses them), no control
// characters.
bool isValidPrinterName(const std::string& name);

// Creates the folders above a file that are missing, private to the user (the file's own folder included).
bool makeParentFolders(const std::string& path);

} // namespace papyrant
