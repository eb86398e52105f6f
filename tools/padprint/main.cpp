#include "platform/Printers.h"
#include "platform/Registry.h"
#include "tools/padprint/DesktopSaveDialog.h"
#include "tools/padprint/PadprintCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        auto registry = papyrant::openUserRegistry();
        auto printers = papyrant::openPrinterSystem();
        papyrant::DesktopSaveDialog dialog;
        const int code = papyrant::runPadprint(arguments, { *registry, *printers, dialog, std::cerr });
        return code;
    } catch (const std::exception& error) {
        std::cerr << "padprint: " << error.what() << "\n";
        return papyrant::kPadprintFailed;
    }
}
