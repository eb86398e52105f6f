#include "conversion/DefaultPrinter.h"
#include "platform/Printers.h"
#include "platform/win32/Win32Registry.h"
#include "runtime/RuntimeError.h"
#include "tests/platform/win32/SpoolerPrinters.h"
#include "tests/support/ScriptedServices.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace papyrant {
namespace {

const std::string kPdfPrinter = "Quillmark PDF Writer";
const std::string kOfficePrinter = "Office Laser";

class Win32PrintersTest : public ::testing::Test
{
protected:
    Win32Registry m_registry;
    std::unique_ptr<PrinterSystem> m_printers = openPrinterSystem();
    test::SpoolerPrinters m_spooler;
    test::ScriptedMessageBoxes m_messages;
};

TEST_F(Win32PrintersTest, InstalledPrintersComeFromTheSpoolerWithExactNames)
{
    const auto before = m_printers->installedPrinters();
    m_spooler.add(kPdfPrinter);
    m_spooler.add(kOfficePrinter);
    const auto names = m_printers->installedPrinters();
    EXPECT_EQ(names.size(), before.size() + 2);
    EXPECT_EQ(std::count(names.begin(), names.end(), kPdfPrinter), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), kOfficePrinter), 1);
}

TEST_F(Win32PrintersTest, DefaultPrinterIsSetPerUserAndReadAfresh)
{
    m_spooler.add(kPdfPrinter);
    m_spooler.add(kOfficePrinter);
    EXPECT_TRUE(m_printers->setDefaultPrinter(kOfficePrinter));
    EXPECT_EQ(m_printers->defaultPrinter(), kOfficePrinter);
    EXPECT_TRUE(m_printers->setDefaultPrinter(kPdfPrinter));
    EXPECT_EQ(m_printers->defaultPrinter(), kPdfPrinter);

    // An unknown name fails and changes nothing; so does the empty name, which the system itself would take as
    // "the first printer".
    EXPECT_FALSE(m_printers->setDefaultPrinter("No Such Printer"));
    EXPECT_FALSE(m_printers->setDefaultPrinter(""));
    EXPECT_EQ(m_printers->defaultPrinter(), kPdfPrinter);

    // The program's own procedures over the spooler.
    EXPECT_TRUE(SetPrinterAsDefault(*m_printers, m_messages, kOfficePrinter, true));
    EXPECT_EQ(GetDefaultPrinter(*m_printers, m_messages), kOfficePrinter);
    EXPECT_FALSE(SetPrinterAsDefault(*m_printers, m_messages, "No Such Printer", true));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "Cannot set printer.");
}

TEST_F(Win32PrintersTest, NoDefaultPrinterIsAPrinterError)
{
    test::SpoolerPrinters::clearDefault();
    try {
        m_printers->defaultPrinter();
        ADD_FAILURE() << "a default printer was reported";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), err::kPrinterError);
    }
    EXPECT_EQ(GetDefaultPrinter(*m_printers, m_messages), "");
    EXPECT_EQ(m_messages.shown.size(), 1u) << "the reader's own report";
}

} // namespace
} // namespace papyrant
