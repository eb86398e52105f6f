// Sets up the printers of a Wine prefix for the window's end-to-end test, with the Windows tests' own helper:
//   win32_spooler_tool add NAME       adds a printer on the FILE: port
//   win32_spooler_tool default NAME   makes it the user's default printer
//   win32_spooler_tool default        prints the user's default printer
#include "tests/platform/win32/SpoolerPrinters.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    try {
        if (argc == 3 && std::strcmp(argv[1], "add") == 0) {
            papyrant::test::SpoolerPrinters printers;
            printers.add(argv[2]);
            printers.keep();
            return 0;
        }
        if (argc == 3 && std::strcmp(argv[1], "default") == 0)
            return ::SetDefaultPrinterA(argv[2]) ? 0 : 1;
        if (argc == 2 && std::strcmp(argv[1], "default") == 0) {
            char name[512] = {};
            DWORD size = sizeof name;
            if (!::GetDefaultPrinterA(name, &size))
                return 1;
            std::printf("%s\n", name);
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: win32_spooler_tool add NAME | default [NAME]\n");
    return 2;
}
