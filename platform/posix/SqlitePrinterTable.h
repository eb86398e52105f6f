#pragma once

#include "platform/posix/SqliteConnection.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

// The outcome of a change to the printer table.
enum class PrinterChange
{
    Done,
    Unchanged, // already so: the printer was installed already, or was not installed
    Failed,
};

// The printer stand-in: the installed printers and the user's default printer, kept in the user's database
// beside the registry hives. A change that fails says why in errorText().
class SqlitePrinterTable
{
public:
    explicit SqlitePrinterTable(std::string databasePath);
    // Shares the connection with the registry hives (SqliteRegistry) of the same database.
    explicit SqlitePrinterTable(std::shared_ptr<SqliteConnection> connection);

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
        return m_db->connected();
    }
    const std::string& errorText() const
    {
        return m_db->errorText();
    }

private:
    std::shared_ptr<SqliteConnection> m_db;
};

// Printer names the table accepts: not empty, no "\" or "," (as the spooler refuses them), no control
// characters.
bool isValidPrinterName(const std::string& name);

} // namespace papyrant
