#include "conversion/ConversionMessages.h"

#include "conversion/PdfPrinter.h"
#include "runtime/RuntimeError.h"
#include "text/ShortList.h"

namespace papyrant {

namespace {

Message plain(std::string text)
{
    return Message { std::move(text), std::nullopt, MessageIcon::None, MessageButtons::Ok };
}

} // namespace

Message buildNoFilesMessage()
{
    return plain("No files added.");
}

Message buildFolderMissingMessage()
{
    return plain("Folder does not exist. Please select another folder.");
}

Message buildDoneMessage(const std::vector<std::string>& failed, std::size_t fileCount)
{
    std::string text = "Done.";
    if (failed.empty())
        return plain(text);
    text += "\r\n\r\n";
    text += std::to_string(failed.size()) + " of " + std::to_string(fileCount);
    text += fileCount == 1 ? " file" : " files";
    text += " could not be converted:";
    text += shortList(failed);
    return plain(text);
}

Message buildWordPadMissingMessage(std::size_t fileCount)
{
    return plain("Done.\r\n\r\nWordPad was not found on this computer, so none of the " + std::to_string(fileCount)
        + (fileCount == 1 ? " file" : " files") + " could be converted.");
}

Message buildPrinterNotRestoredMessage(const std::string& printerName)
{
    return plain("\"" + printerName + "\" could not be made the default printer again. " + kPdfPrinterName
        + " is still the default printer; please set yours back by hand.");
}

Message buildPdfPrinterNotSelectedMessage()
{
    return plain(std::string(kPdfPrinterName)
        + " is not installed or could not be made the default printer. No file was converted.");
}

Message buildDefaultPrinterReport(const RuntimeError& error)
{
    std::string text = "Error No: " + std::to_string(error.number()) + "\r\n";
    text += error.description() + "\r\n";
    text += "Has occured in ";
    text += "modPrinters.GetDefaultPrinter";
    text += "\r\n";
    text += "Please contact Technical Support";
    return Message { text, std::nullopt, MessageIcon::None, MessageButtons::Ok };
}

} // namespace papyrant
