#include "tools/padprint/PrintDestination.h"

#include "platform/PdfPrinterProtocol.h"
#include "platform/Printers.h"
#include "platform/Registry.h"
#include "runtime/RuntimeError.h"
#include "tools/padprint/SaveDialog.h"

namespace papyrant {

PrintDestination choosePrintDestination(Registry& registry, PrinterSystem& printers, SaveDialog& dialog)
{
    std::string printer;
    try {
        printer = printers.defaultPrinter();
    } catch (const RuntimeError&) {
        return { PrintDestination::Kind::Failed, "no default printer is set" };
    }
    if (printer != kPdfPrinterName)
        return { PrintDestination::Kind::Failed,
            "the default printer \"" + printer + "\" has no driver here; only \"" + kPdfPrinterName + "\" can print" };

    const std::string outputFile
        = registry.readString(RegistryHive::CurrentUser, kPdfPrinterKey, kOutputFileValue).value_or(std::string());
    const bool bypass
        = registry.readString(RegistryHive::CurrentUser, kPdfPrinterKey, kBypassSaveAsValue) == kBypassSaveAsOn;
    if (bypass) {
        if (outputFile.empty())
            return { PrintDestination::Kind::Failed,
                std::string("no output file is set (\"") + kOutputFileValue + "\" under HKEY_CURRENT_USER\\"
                    + kPdfPrinterKey + " is empty)" };
        return { PrintDestination::Kind::File, outputFile };
    }
    SaveDialogAnswer answer = dialog.askSaveFileName(outputFile);
    switch (answer.kind) {
    case SaveDialogAnswer::Kind::Chosen:
        return { PrintDestination::Kind::File, std::move(answer.path) };
    case SaveDialogAnswer::Kind::Cancelled:
        return { PrintDestination::Kind::Cancelled, {} };
    case SaveDialogAnswer::Kind::Unavailable:
        break;
    }
    return { PrintDestination::Kind::Failed, "cannot ask for the PDF's file name: " + answer.message };
}

} // namespace papyrant
