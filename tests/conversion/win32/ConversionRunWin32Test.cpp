#include "conversion/ConversionRun.h"
#include "platform/FileSystem.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/RunLock.h"
#include "platform/WordPad.h"
#include "platform/win32/Win32Registry.h"
#include "tests/conversion/FakeConversionHost.h"
#include "tests/platform/win32/SpoolerPrinters.h"
#include "tests/support/TempDir.h"
#include "text/CommandLine.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace papyrant {
namespace {

// Paths are the program's UTF-8 texts; the streams take them through the wide names.
std::filesystem::path utf8Path(const std::string& path)
{
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(utf8Path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The real registry, spooler and launcher, with our print stand-in registered as the word pad.
class ConversionRunWin32Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedWordPad = m_registry.readString(RegistryHive::ClassesRoot, kWordPadServerKey, "");
        ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, kWordPadServerKey,
            { { "", QuoteArgument(programFolder() + "\\print_stand_in.exe") } }));
        m_spooler.add("Quillmark PDF Writer");
        m_spooler.add("Office Laser");
        ASSERT_TRUE(m_printers->setDefaultPrinter("Office Laser"));
        ::CreateDirectoryA((m_dir.str() + "\\in").c_str(), nullptr);
        ::CreateDirectoryA((m_dir.str() + "\\out").c_str(), nullptr);
    }
    void TearDown() override
    {
        if (m_savedWordPad)
            m_registry.writeStrings(RegistryHive::ClassesRoot, kWordPadServerKey, { { "", *m_savedWordPad } });
        else
            ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kWordPadServerKey);
    }

    // Converts in\a.xml, holding the text, into the folder out with the real services; returns the source's path.
    std::string convertOne(const std::string& text, test::FakeConversionHost& host)
    {
        const std::string source = m_dir.str() + "\\in\\a.xml";
        std::ofstream(source, std::ios::binary) << text;
        host.entries = { source };
        host.option1 = true;
        host.option2 = false;
        host.folder = m_dir.str() + "\\out\\";
        ConversionRun run({ m_registry, *m_printers, ShellAndWait, tryAcquireRunLock });
        run.run(host);
        return source;
    }

    test::TempDir m_dir;
    Win32Registry m_registry;
    std::unique_ptr<PrinterSystem> m_printers = openPrinterSystem();
    test::SpoolerPrinters m_spooler;
    std::optional<std::string> m_savedWordPad;
};

TEST_F(ConversionRunWin32Test, ThreeFilesBecomePdfsAndTheUsersPrinterComesBack)
{
    // The third name goes through the ANSI code page (1252 in the Windows stage) on its way to the registry and
    // the print program.
    ASSERT_EQ(::GetACP(), 1252u);
    const std::string third = "R\xc3\xa9sum\xc3\xa9.XML";
    const std::vector<std::string> names = { "first.xml", "with space & more.xml", third };
    test::FakeConversionHost host;
    for (const std::string& name : names) {
        const std::string source = m_dir.str() + "\\in\\" + name;
        std::ofstream(utf8Path(source), std::ios::binary) << "<doc>" << name << "</doc>\r\n";
        host.entries.push_back(source);
    }
    host.option1 = true;
    host.option2 = false;
    host.folder = m_dir.str() + "\\out\\";

    ConversionRun run({ m_registry, *m_printers, ShellAndWait, tryAcquireRunLock });
    run.run(host);

    EXPECT_EQ(host.shownTexts(), std::vector<std::string> { "Done." });
    for (const std::string& name : names) {
        const std::string stem = name.substr(0, name.rfind('.'));
        EXPECT_EQ(readFile(m_dir.str() + "\\out\\" + stem + ".pdf"), "<doc>" + name + "</doc>\r\n") << name;
    }
    EXPECT_EQ(m_printers->defaultPrinter(), "Office Laser");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, "Software\\Quillmark PDF Writer", "OutputFile"),
        m_dir.str() + "\\out\\" + third.substr(0, third.rfind('.')) + ".pdf");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, "Software\\Quillmark PDF Writer", "BypassSaveAs"), "1");
    EXPECT_FALSE(run.IsConverting());
}

TEST_F(ConversionRunWin32Test, WordPadPathWithAVariableReachesTheProgram)
{
    // As the stock registry value names the word pad: "%ProgramFiles%\Windows NT\Accessories\WORDPAD.EXE".
    ASSERT_TRUE(::SetEnvironmentVariableA("PAPYRANT_PAD_DIR", programFolder().c_str()));
    ASSERT_TRUE(m_registry.writeStrings(
        RegistryHive::ClassesRoot, kWordPadServerKey, { { "", "\"%PAPYRANT_PAD_DIR%\\print_stand_in.exe\"" } }));
    test::FakeConversionHost host;
    convertOne("<a>variable</a>", host);
    ::SetEnvironmentVariableA("PAPYRANT_PAD_DIR", nullptr);

    EXPECT_EQ(host.shownTexts(), std::vector<std::string> { "Done." });
    EXPECT_EQ(readFile(m_dir.str() + "\\out\\a.pdf"), "<a>variable</a>");
    EXPECT_EQ(GetWordPadPath(m_registry), "\"%PAPYRANT_PAD_DIR%\\print_stand_in.exe\"") << "read unchanged";
}

TEST_F(ConversionRunWin32Test, UnregisteredWordPadConvertsNothingAndSaysSoOnce)
{
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kWordPadServerKey);
    test::FakeConversionHost host;
    convertOne("<a/>", host);

    EXPECT_FALSE(FileExists(m_dir.str() + "\\out\\a.pdf"));
    EXPECT_EQ(host.shownTexts(),
        std::vector<std::string> {
            "Done.\r\n\r\nWordPad was not found on this computer, so none of the 1 file could be converted." });
    EXPECT_EQ(m_printers->defaultPrinter(), "Office Laser");
}

TEST_F(ConversionRunWin32Test, NameOutsideTheCodePageFailsItsFileAndNeverPrintsItsLookAlike)
{
    // In code page 1252, "Ā" (A with macron) has a best-fit "A" and "Ж" (Zhe) none at all.
    ASSERT_EQ(::GetACP(), 1252u);
    const std::string in = m_dir.str() + "\\in\\";
    const std::string macron = in + "\xc4\x80pple.xml";
    const std::string zhe = in + "\xd0\x96.xml";
    std::ofstream(utf8Path(in + "Apple.xml"), std::ios::binary) << "<real/>";
    std::ofstream(utf8Path(macron), std::ios::binary) << "<macron/>";
    std::ofstream(utf8Path(zhe), std::ios::binary) << "<zhe/>";
    test::FakeConversionHost host;
    host.entries = { macron, zhe, in + "Apple.xml" };
    host.option1 = true;
    host.option2 = false;
    host.folder = m_dir.str() + "\\out\\";
    ConversionRun run({ m_registry, *m_printers, ShellAndWait, tryAcquireRunLock });

    run.run(host);

    EXPECT_EQ(readFile(m_dir.str() + "\\out\\Apple.pdf"), "<real/>");
    const std::string reason = ": the name has characters that the system's code page cannot hold";
    EXPECT_EQ(host.shownTexts(),
        std::vector<std::string> {
            "Done.\r\n\r\n2 of 3 files could not be converted:\r\n" + macron + reason + "\r\n" + zhe + reason });
    std::error_code error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(utf8Path(m_dir.str() + "\\out"), error), {}), 1)
        << "only Apple.pdf";
    EXPECT_EQ(m_printers->defaultPrinter(), "Office Laser");
}

} // namespace
} // namespace papyrant
