#include "platform/Printers.h"
#include "platform/Registry.h"
#include "tools/padprint/DesktopSaveDialog.h"
#include "tools/padprint/PadprintCommand.h"

#include <iostream>
#include <malloc.h>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Cairo allocates and frees page-sized buffers for every page; keeping them in the heap instead of mapping
    // and unmapping each time saves a tenth of a large job. Peak memory stays one page's worth.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        auto registry = papyrant::openUserRegistry();
        auto printers = papyrant::openPrinterSystem(*registry);
        papyrant::DesktopSaveDialog dialog;
        const int code = papyrant::runPadprint(arguments, { *registry, *printers, dialog, std::cerr });
        return code;
    } catch (const std::exception& error) {
        std::cerr << "padprint: " << error.what() << "\n";
        return papyrant::kPadprintFailed;
    }
}
