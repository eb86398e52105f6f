#include "platform/Printers.h"
#include "platform/win32/AnsiText.h"
#include "runtime/RuntimeError.h"

#include <vector>

// The system headers need <windows.h> first.
// clang-format off
#include <windows.h>
#include <winspool.h>
// clang-format on

namespace papyrant {

namespace {

// The spooler's printers and the current user's default printer.
class Win32Printers : public PrinterSystem
{
public:
    std::vector<std::string> installedPrinters() override
    {
        const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
        DWORD needed = 0;
        DWORD count = 0;
        std::vector<BYTE> buffer;
        // The list may grow between the two calls; ask again with the larger size.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (::EnumPrintersA(flags, nullptr, 4, buffer.empty() ? nullptr : buffer.data(),
                    static_cast<DWORD>(buffer.size()), &needed, &count)) {
                std::vector<std::string> names;
                const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
                for (DWORD i = 0; i < count; ++i) {
                    if (info[i].pPrinterName)
                        names.push_back(fromAnsi(info[i].pPrinterName));
                }
                return names;
            }
            if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                break;
            buffer.assign(needed, 0);
        }
        throw RuntimeError(err::kPrinterError);
    }

    std::string defaultPrinter() override
    {
        DWORD size = 0;
        ::GetDefaultPrinterA(nullptr, &size);
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
            throw RuntimeError(err::kPrinterError); // no default printer: no printer installed
        std::vector<char> buffer(size);
        if (!::GetDefaultPrinterA(buffer.data(), &size))
            throw RuntimeError(err::kPrinterError);
        return fromAnsi(buffer.data());
    }

    bool setDefaultPrinter(const std::string& name) override
    {
        // The system takes an empty name as "the first printer"; for the program it names no printer.
        // A name the code page cannot hold would select another printer, or none.
        const std::optional<std::string> ansi = toAnsi(name);
        if (name.empty() || !ansi)
            return false;
        return ::SetDefaultPrinterA(ansi->c_str()) != 0;
    }
};

} // namespace

std::unique_ptr<PrinterSystem> openPrinterSystem()
{
    return std::make_unique<Win32Printers>();
}

} // namespace papyrant
