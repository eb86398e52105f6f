#include "conversion/ConversionRun.h"
#include "conversion/PdfPrinter.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "tests/conversion/FakeConversionHost.h"
#include "tests/platform/FreshConfigHome.h"
#include "tests/support/TempDir.h"
#include "text/CommandLine.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

const std::string kUserPrinter = "Office Laser";

fs::path binDir()
{
    const char* dir = std::getenv("PAPYRANT_BIN_DIR");
    if (dir && *dir)
        return dir;
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Source
{
    std::string name;
    std::string text; // what its PDF must hold
};

// Names that trip up quoting, shells and option parsers.
const std::vector<Source> kSources = {
    { "with spaces.xml", "first file with spaces" },
    { "quote\"d.xml", "second file with a quote" },
    { "back\\slash.xml", "third file with a backslash" },
    { "Grüße 日本.xml", "fourth file Grüße 日本語" },
    { "-leading dash.xml", "fifth file with a dash" },
};

class ConversionEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(run(QuoteArgument((binDir() / "papyrant-platform").string()) + " setup"), 0);
        // A user printer of their own is the default before the run, so its return can be seen.
        SqlitePrinterTable database(SqliteConnection::defaultDatabasePath());
        ASSERT_EQ(database.addPrinter(kUserPrinter), PrinterChange::Done);
        ASSERT_TRUE(database.setDefaultPrinter(kUserPrinter));

        fs::create_directory(m_files.path() / "in");
        fs::create_directory(m_files.path() / "out");
        for (const Source& source : kSources) {
            std::ofstream(m_files.path() / "in" / source.name, std::ios::binary)
                << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<note>" << source.text << "</note>\n";
            m_host.entries.push_back((m_files.path() / "in" / source.name).string());
        }
        m_host.scriptedYielder.realTime = true;
    }

    int run(const std::string& commandLine)
    {
        return ShellAndWait(commandLine, std::nullopt, m_host.scriptedYielder);
    }

    std::string pdfText(const fs::path& pdf)
    {
        const fs::path text = m_files.path() / "pdf.txt";
        fs::remove(text);
        EXPECT_EQ(run("pdftotext -enc UTF-8 " + QuoteArgument(pdf.string()) + " " + QuoteArgument(text.string())), 0)
            << pdf;
        return readFile(text);
    }

    // Converts the listed files and checks that each PDF in the folder holds its source's text.
    void convertInto(const fs::path& folder)
    {
        auto registry = openUserRegistry();
        auto printers = openPrinterSystem();
        ConversionRun conversion(ConversionServices { *registry, *printers, ShellAndWait, tryAcquireRunLock });
        m_host.boxes.shown.clear();

        conversion.run(m_host);

        EXPECT_EQ(m_host.shownTexts(), std::vector<std::string> { "Done." });
        for (const Source& source : kSources) {
            const fs::path pdf = folder / (source.name.substr(0, source.name.size() - 4) + ".pdf");
            ASSERT_TRUE(fs::is_regular_file(pdf)) << pdf;
            EXPECT_NE(pdfText(pdf).find(source.text), std::string::npos) << pdf;
        }
        EXPECT_EQ(printers->defaultPrinter(), kUserPrinter);
        const std::string last = (folder / "-leading dash.pdf").string();
        EXPECT_EQ(registry->readString(RegistryHive::CurrentUser, kPdfPrinterKey, "OutputFile"), last);
        EXPECT_FALSE(conversion.IsConverting());
    }

    FreshConfigHome m_config;
    TempDir m_files;
    FakeConversionHost m_host;
};

TEST_F(ConversionEndToEnd, AwkwardNamesBecomePdfsBesideTheirSources)
{
    m_host.option1 = false;
    m_host.option2 = true;
    convertInto(m_files.path() / "in");
}

TEST_F(ConversionEndToEnd, AwkwardNamesBecomePdfsInTheChosenFolder)
{
    m_host.option1 = true;
    m_host.option2 = false;
    m_host.folder = (m_files.path() / "out").string();
    convertInto(m_files.path() / "out");
    EXPECT_FALSE(fs::exists(m_files.path() / "in" / "with spaces.pdf"));
}

} // namespace
