// papyrant-platform: sets up and inspects the Linux stand-ins of the registry and the printers.
#include "platform/PdfPrinterProtocol.h"
#include "platform/WordPad.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "platform/posix/SqliteRegistry.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usage()
{
    std::cerr << "usage: papyrant-platform setup\n"
                 "       papyrant-platform printers\n"
                 "       papyrant-platform add-printer NAME\n"
                 "       papyrant-platform remove-printer NAME\n"
                 "       papyrant-platform set-default NAME\n"
                 "       papyrant-platform reg get HIVE KEY [NAME]\n"
                 "       papyrant-platform reg set HIVE KEY NAME TEXT\n"
                 "HIVE is HKEY_CURRENT_USER (HKCU) or HKEY_CLASSES_ROOT (HKCR); KEY uses \\ between key names;\n"
                 "without NAME, reg get reads the key's default value.\n";
    return kUsage;
}

int failed(const std::string& message)
{
    std::cerr << "papyrant-platform: " << message << "\n";
    return kFailed;
}

std::optional<RegistryHive> hiveNamed(const std::string& name)
{
    if (name == "HKEY_CURRENT_USER" || name == "HKCU")
        return RegistryHive::CurrentUser;
    if (name == "HKEY_CLASSES_ROOT" || name == "HKCR")
        return RegistryHive::ClassesRoot;
    return std::nullopt;
}

// Registers padprint, found beside this tool, as the word pad, and installs the PDF printer.
int setup(SqliteRegistry& registry, SqlitePrinterTable& printers)
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return failed("cannot find this program's folder: " + error.message());
    const auto padprint = self.parent_path() / "padprint";
    if (!std::filesystem::exists(padprint))
        std::cerr << "papyrant-platform: warning: " << padprint.string() << " does not exist yet\n";
    const std::string command = "\"" + padprint.string() + "\"";
    if (const auto written = registry.writeStrings(RegistryHive::ClassesRoot, kWordPadServerKey, { { "", command } });
        !written)
        return failed(written.reason());
    if (const auto added = printers.addPrinter(kPdfPrinterName); !added)
        return failed(added.reason());
    std::cout << "word pad: " << command << "\n";
    std::cout << "printer: " << kPdfPrinterName << "\n";
    return 0;
}

int listPrinters(SqlitePrinterTable& printers)
{
    const auto names = printers.printers();
    if (!names)
        return failed(names.reason());
    const auto defaultPrinter = printers.defaultPrinter();
    const std::string defaultName = defaultPrinter ? *defaultPrinter : std::string();
    for (const auto& name : *names)
        std::cout << (name == defaultName ? "* " : "  ") << name << "\n";
    return 0;
}

int printerCommand(SqlitePrinterTable& printers, const std::string& command, const std::string& name)
{
    if (command == "set-default") {
        if (const auto set = printers.setDefaultPrinter(name); !set)
            return failed(set.reason());
        return 0;
    }
    const auto change = command == "add-printer" ? printers.addPrinter(name) : printers.removePrinter(name);
    if (!change)
        return failed(change.reason());
    if (*change == PrinterChange::Unchanged)
        std::cerr << "papyrant-platform: \"" << name << "\" "
                  << (command == "add-printer" ? "is installed already" : "is not installed") << "\n";
    return 0;
}

int registryCommand(SqliteRegistry& registry, const std::vector<std::string>& args)
{
    const bool get = args[1] == "get" && (args.size() == 4 || args.size() == 5);
    const bool set = args[1] == "set" && args.size() == 6;
    if (!get && !set)
        return usage();
    const auto hive = hiveNamed(args[2]);
    if (!hive)
        return usage();
    if (set) {
        if (const auto written = registry.writeStrings(*hive, args[3], { { args[4], args[5] } }); !written)
            return failed(written.reason());
        return 0;
    }
    const std::string valueName = args.size() == 5 ? args[4] : std::string();
    const auto text = registry.readString(*hive, args[3], valueName);
    if (!text) {
        if (const auto usable = registry.usable(); !usable)
            return failed(usable.reason());
        return failed("no value \"" + valueName + "\" under " + args[2] + "\\" + args[3]);
    }
    std::cout << *text << "\n";
    return 0;
}

int run(const std::vector<std::string>& args)
{
    if (args.empty())
        return usage();
    const std::string& command = args[0];
    const bool known = (command == "setup" && args.size() == 1) || (command == "printers" && args.size() == 1)
        || ((command == "add-printer" || command == "remove-printer" || command == "set-default") && args.size() == 2)
        || (command == "reg" && args.size() >= 2);
    if (!known)
        return usage();

    SqliteRegistry registry(SqliteConnection::defaultDatabasePath());
    SqlitePrinterTable printers(registry.connection());
    if (const auto usable = registry.usable(); !usable)
        return failed(usable.reason());
    if (command == "setup")
        return setup(registry, printers);
    if (command == "printers")
        return listPrinters(printers);
    if (command == "reg")
        return registryCommand(registry, args);
    return printerCommand(printers, command, args[1]);
}

} // namespace
} // namespace papyrant

int main(int argc, char* argv[])
{
    return papyrant::run(std::vector<std::string>(argv + 1, argv + argc));
}
