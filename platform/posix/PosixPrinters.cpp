#include "platform/Printers.h"
#include "platform/posix/SqliteRegistry.h"
#include "runtime/RuntimeError.h"

namespace papyrant {

namespace {

// The printer table kept in the registry stand-in's database.
class PosixPrinters : public PrinterSystem
{
public:
    explicit PosixPrinters(SqliteRegistry* database)
        : m_database(database)
    {
    }

    std::vector<std::string> installedPrinters() override
    {
        auto names = m_database ? m_database->printers() : std::nullopt;
        if (!names)
            throw RuntimeError(err::kPrinterError);
        return *names;
    }

    std::string defaultPrinter() override
    {
        auto name = m_database ? m_database->defaultPrinter() : std::nullopt;
        if (!name)
            throw RuntimeError(err::kPrinterError);
        return *name;
    }

    bool setDefaultPrinter(const std::string& name) override
    {
        return m_database && m_database->setDefaultPrinter(name);
    }

private:
    SqliteRegistry* m_database;
};

} // namespace

std::unique_ptr<PrinterSystem> openPrinterSystem(Registry& registry)
{
    // The printers live in the stand-in database; any other registry has no printers at all.
    return std::make_unique<PosixPrinters>(dynamic_cast<SqliteRegistry*>(&registry));
}

} // namespace papyrant
