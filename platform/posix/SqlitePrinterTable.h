#pragma once

#include "platform/posix/SqliteConnection.h"
#include "text/Expected.h"

#include <memory>
#include <string>
#include <vector>

namespace papyrant {

// What a change to the printer table did.
enum class PrinterChange
{
    Done,
    Unchanged, // already so: the printer was installed already, or was not installed
};

// The printer stand-in: the installed printers and the user's default printer, kept in the user's database
// beside the registry hives. Each answer is the value or the reason there is none, naming the database.
class SqlitePrinterTable
{
public:
    explicit SqlitePrinterTable(std::string databasePath);
    // Shares the connection with the registry hives (SqliteRegistry) of the same database.
    explicit SqlitePrinterTable(std::shared_ptr<SqliteConnection> connection);

    // Installed printers in the order they were installed.
    Expected<std::vector<std::string>> printers();
    // The user's default printer; a failure when there is none.
    Expected<std::string> defaultPrinter();
    // The first printer installed becomes the default.
    Expected<PrinterChange> addPrinter(const std::string& name);
    // Removing the default printer makes the first remaining printer the default.
    Expected<PrinterChange> removePrinter(const std::string& name);
    // Fails for an empty or unknown name.
    Expected<void> setDefaultPrinter(const std::string& name);

    // Whether the database can be used; tries again when it could not be opened before.
    Expected<void> usable()
    {
        return m_db->usable();
    }

private:
    std::shared_ptr<SqliteConnection> m_db;
};

// Printer names the table accepts: not empty, no "\" or "," (as the spooler refuses them), no control
// characters.
bool isValidPrinterName(const std::string& name);

} // namespace papyrant
