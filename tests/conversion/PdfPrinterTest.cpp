#include "conversion/PdfPrinter.h"

#include "runtime/RuntimeError.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace papyrant {
namespace {

// A printer list that cannot be read.
class BrokenPrinters : public test::FakePrinters
{
public:
    std::vector<std::string> installedPrinters() override
    {
        throw RuntimeError(err::kPrinterError);
    }
};

TEST(PdfPrinter, StartUpCheckShowsInstructionsUnlessThePrinterIsInstalledUnderItsExactName)
{
    const std::string instructions
        = "Quillmark PDF Writer is not installed. Please follow these instructions:\r\n\r\n"
          "1) Go to Control Panel -> Printers and Faxes to add a local printer.\r\n"
          "2) Choose ''CPW2: (Quillmark PDF Writer)'' on Select a Printer Port dialog box, click Next.\r\n"
          "3) Choose a Postscript printer (e.g. HP Color LaserJet PS), click Next.\r\n"
          "4) Enter Quillmark PDF Writer as Printer name, click Next -> Finish.";

    const auto check = [&](test::FakePrinters& printers) {
        test::ScriptedMessageBoxes messages;
        CheckPdfPrinter(printers, messages);
        EXPECT_LE(messages.shown.size(), 1u);
        if (messages.shown.empty())
            return false;
        EXPECT_EQ(messages.shown[0].text, instructions);
        EXPECT_EQ(messages.shown[0].title, std::nullopt);
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
        return true;
    };

    test::FakePrinters printers;
    EXPECT_TRUE(check(printers)); // none installed
    printers.printers = { "Laser", "quillmark pdf writer", "Quillmark PDF Writer " };
    EXPECT_TRUE(check(printers));
    EXPECT_FALSE(selectPdfPrinter(printers));
    printers.printers = { "Laser", "Quillmark PDF Writer", "Fax" };
    EXPECT_FALSE(check(printers));
    EXPECT_TRUE(selectPdfPrinter(printers));

    BrokenPrinters broken;
    EXPECT_TRUE(check(broken));
    EXPECT_FALSE(selectPdfPrinter(broken));
}

} // namespace
} // namespace papyrant
