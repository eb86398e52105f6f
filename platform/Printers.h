#pragma once

#include <memory>
#include <string>
#include <vector>

namespace papyrant {

// The system's printers and the current user's default printer.
class PrinterSystem
{
public:
    virtual ~PrinterSystem() = default;
    // Installed printers in the system's own order. Throws RuntimeError when they cannot be listed.
    virtual std::vector<std::string> installedPrinters() = 0;
    // The system's default printer, read afresh each time. Throws RuntimeError (482) when there is none.
    virtual std::string defaultPrinter() = 0;
    // Makes the named printer the user's default; false for an unknown or empty name or any failure.
    virtual bool setDefaultPrinter(const std::string& name) = 0;
};

// The current user's printers: the spooler on Windows; on Linux the printer table of the stand-ins' database.
std::unique_ptr<PrinterSystem> openPrinterSystem();

} // namespace papyrant
