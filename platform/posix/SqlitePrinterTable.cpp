#include "platform/posix/SqlitePrinterTable.h"

#include <utility>

namespace papyrant {

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

SqlitePrinterTable::SqlitePrinterTable(std::string databasePath)
    : m_db(std::make_shared<SqliteConnection>(std::move(databasePath)))
{
}

SqlitePrinterTable::SqlitePrinterTable(std::shared_ptr<SqliteConnection> connection)
    : m_db(std::move(connection))
{
}

Expected<std::vector<std::string>> SqlitePrinterTable::printers()
{
    if (!m_db->connected())
        return Unexpected { m_db->errorText() };
    SqliteStatement list(m_db->handle(), "SELECT name FROM printers ORDER BY position");
    std::vector<std::string> names;
    int result = list.step();
    for (; result == SQLITE_ROW; result = list.step())
        names.push_back(list.blob(0));
    if (result != SQLITE_DONE) {
        m_db->noteError("cannot read the printers");
        return Unexpected { m_db->errorText() };
    }
    return names;
}

Expected<std::string> SqlitePrinterTable::defaultPrinter()
{
    if (!m_db->connected())
        return Unexpected { m_db->errorText() };
    SqliteStatement get(m_db->handle(), "SELECT name FROM default_printer WHERE id = 1");
    const int result = get.step();
    if (result == SQLITE_ROW)
        return get.blob(0);
    if (result != SQLITE_DONE) {
        m_db->noteError("cannot read the default printer");
        return Unexpected { m_db->errorText() };
    }
    return Unexpected { "no default printer is set" };
}

Expected<PrinterChange> SqlitePrinterTable::addPrinter(const std::string& name)
{
    if (!isValidPrinterName(name))
        return Unexpected { "invalid printer name \"" + name + "\"" };
    bool added = false;
    const bool ok = m_db->inTransaction("cannot write", [&] {
        SqliteStatement add(m_db->handle(), "INSERT OR IGNORE INTO printers(name) VALUES(?1)");
        if (!add.bind(1, name).run())
            return false;
        added = sqlite3_changes(m_db->handle()) > 0;
        // The first printer installed becomes the default, as on Windows.
        SqliteStatement first(m_db->handle(), "INSERT OR IGNORE INTO default_printer(id, name) VALUES(1, ?1)");
        return first.bind(1, name).run();
    });
    if (!ok)
        return Unexpected { m_db->errorText() };
    return added ? PrinterChange::Done : PrinterChange::Unchanged;
}

Expected<PrinterChange> SqlitePrinterTable::removePrinter(const std::string& name)
{
    bool removed = false;
    const bool ok = m_db->inTransaction("cannot write", [&] {
        SqliteStatement remove(m_db->handle(), "DELETE FROM printers WHERE name = ?1");
        if (!remove.bind(1, name).run())
            return false;
        removed = sqlite3_changes(m_db->handle()) > 0;
        SqliteStatement dropDefault(m_db->handle(), "DELETE FROM default_printer WHERE name = ?1");
        if (!dropDefault.bind(1, name).run())
            return false;
        SqliteStatement next(m_db->handle(),
            "INSERT OR IGNORE INTO default_printer(id, name) "
            "SELECT 1, name FROM printers ORDER BY position LIMIT 1");
        return next.run();
    });
    if (!ok)
        return Unexpected { m_db->errorText() };
    return removed ? PrinterChange::Done : PrinterChange::Unchanged;
}

Expected<void> SqlitePrinterTable::setDefaultPrinter(const std::string& name)
{
    bool known = false;
    const bool ok = m_db->inTransaction("cannot write", [&] {
        SqliteStatement find(m_db->handle(), "SELECT 1 FROM printers WHERE name = ?1");
        find.bind(1, name);
        const int result = find.step();
        if (result != SQLITE_ROW)
            return result == SQLITE_DONE; // an unknown name changes nothing
        known = true;
        SqliteStatement set(m_db->handle(), "INSERT OR REPLACE INTO default_printer(id, name) VALUES(1, ?1)");
        return set.bind(1, name).run();
    });
    if (!ok)
        return Unexpected { m_db->errorText() };
    if (!known)
        return Unexpected { "the printer \"" + name + "\" is not installed" };
    return {};
}

} // namespace papyrant
