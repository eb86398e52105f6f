#include "platform/Printers.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "runtime/RuntimeError.h"

namespace papyrant {

namespace {

// The printer table kept in the stand-ins' database. Its failures become the runtime's printer error, which
// the program reports by number.
class PosixPrinters : public PrinterSystem
{
public:
    explicit PosixPrinters(std::string databasePath)
        : m_table(std::move(databasePath))
    {
    }

    std::vector<std::string> installedPrinters() override
    {
        auto names = m_table.printers();
        if (!names)
            throw RuntimeError(err::kPrinterError);
        return *names;
    }

    std::string defaultPrinter() override
    {
        auto name = m_table.defaultPrinter();
        if (!name)
            throw RuntimeError(err::kPrinterError);
        return *name;
    }

    bool setDefaultPrinter(const std::string& name) override
    {
        return static_cast<bool>(m_table.setDefaultPrinter(name));
    }

private:
    SqlitePrinterTable m_table;
};

} // namespace

std::unique_ptr<PrinterSystem> openPrinterSystem()
{
    return std::make_unique<PosixPrinters>(SqliteConnection::defaultDatabasePath());
}

} // namespace papyrant
