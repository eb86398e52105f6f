#pragma once

// clang-format off
#include <windows.h>
#include <winspool.h>
// clang-format on

// The system's name for its ANSI or wide function would hide the program's own GetDefaultPrinter.
#undef GetDefaultPrinter

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace papyrant::test {

// Printers added to the spooler for one test, and the user's default printer as it was: both are put back at
// the end. Wine's spooler lists no printer until one is added; a printer on the FILE: port with the PostScript
// driver needs no device.
class SpoolerPrinters
{
public:
    SpoolerPrinters()
        : m_savedDevice(readDevice())
    {
        DRIVER_INFO_3A driver {};
        driver.cVersion = 3;
        driver.pName = const_cast<char*>(kDriverName);
        driver.pDriverPath = const_cast<char*>("wineps.drv");
        driver.pDataFile = const_cast<char*>("generic.ppd");
        driver.pConfigFile = const_cast<char*>("wineps.drv");
        if (!::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES))
            throw std::runtime_error("cannot add the printer driver");
    }
    ~SpoolerPrinters()
    {
        for (const std::string& name : m_added) {
            HANDLE printer = nullptr;
            if (::OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) {
                ::DeletePrinter(printer);
                ::ClosePrinter(printer);
            }
        }
        writeDevice(m_savedDevice);
    }
    SpoolerPrinters(const SpoolerPrinters&) = delete;
    SpoolerPrinters& operator=(const SpoolerPrinters&) = delete;

    void add(const std::string& name)
    {
        PRINTER_INFO_2A info {};
        info.pPrinterName = const_cast<char*>(name.c_str());
        info.pPortName = const_cast<char*>("FILE:");
        info.pDriverName = const_cast<char*>(kDriverName);
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.pDatatype = const_cast<char*>("RAW");
        HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (!printer)
            throw std::runtime_error("cannot add the printer " + name);
        ::ClosePrinter(printer);
        m_added.push_back(name);
    }

    // Leaves the printers added so far, and the default printer as it is now, in place at the end.
    void keep()
    {
        m_added.clear();
        m_savedDevice = readDevice();
    }

    // No default printer at all, as on a system without printers.
    static void clearDefault()
    {
        writeDevice(std::nullopt);
    }

private:
    static constexpr const char* kDriverName = "Papyrant Test PostScript";
    static constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

    // The user's default printer as the system keeps it: "name,winspool,port".
    static std::optional<std::string> readDevice()
    {
        char buffer[1024] = {};
        DWORD size = sizeof buffer - 1;
        if (::RegGetValueA(HKEY_CURRENT_USER, kWindowsKey, "Device", RRF_RT_REG_SZ, nullptr, buffer, &size)
            != ERROR_SUCCESS)
            return std::nullopt;
        return std::string(buffer);
    }
    static void writeDevice(const std::optional<std::string>& device)
    {
        if (device)
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kWindowsKey, "Device", REG_SZ, device->c_str(),
                static_cast<DWORD>(device->size() + 1));
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kWindowsKey, "Device");
    }

    std::optional<std::string> m_savedDevice;
    std::vector<std::string> m_added;
};

} // namespace papyrant::test
