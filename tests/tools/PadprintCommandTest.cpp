#include "tools/padprint/PadprintCommand.h"

#include "platform/PdfPrinterProtocol.h"
#include "platform/Printers.h"
#include "platform/Registry.h"
#include "runtime/RuntimeError.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/TempDir.h"
#include "tools/padprint/PrintDestination.h"
#include "tools/padprint/SaveDialog.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

// The PDF printer's key as a job sees it: values by name, under one key.
class PrinterKey : public Registry
{
public:
    Expected<void> writeStrings(
        RegistryHive, const std::string& keyPath, const std::vector<RegistryString>& values) override
    {
        for (const RegistryString& value : values)
            m_values[keyPath + "\\" + value.name] = value.text;
        return {};
    }
    std::optional<std::string> readString(
        RegistryHive, const std::string& keyPath, const std::string& valueName) override
    {
        const auto found = m_values.find(keyPath + "\\" + valueName);
        return found == m_values.end() ? std::nullopt : std::optional(found->second);
    }

private:
    std::map<std::string, std::string> m_values;
};

class DefaultPrinter : public PrinterSystem
{
public:
    std::vector<std::string> installedPrinters() override
    {
        return { name };
    }
    std::string defaultPrinter() override
    {
        if (name.empty())
            throw RuntimeError(err::kPrinterError);
        return name;
    }
    bool setDefaultPrinter(const std::string&) override
    {
        return false;
    }
    std::string name;
};

class ScriptedSaveDialog : public SaveDialog
{
public:
    SaveDialogAnswer askSaveFileName(const std::string& proposedPath) override
    {
        proposals.push_back(proposedPath);
        return answer;
    }
    SaveDialogAnswer answer { SaveDialogAnswer::Kind::Cancelled, {}, {} };
    std::vector<std::string> proposals;
};

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool looksLikeWholePdf(const std::string& bytes)
{
    return bytes.rfind("%PDF-", 0) == 0 && bytes.find("%%EOF", bytes.size() - 16) != std::string::npos;
}

// A machine with the PDF printer as default and its key pointing at out/doc.pdf.
struct Printing
{
    Printing()
    {
        fs::create_directory(out);
        printers.name = kPdfPrinterName;
        registry.writeStrings(
            RegistryHive::CurrentUser, kPdfPrinterKey, { { "OutputFile", target.string() }, { "BypassSaveAs", "1" } });
        writeFile(source, "<?xml version=\"1.0\"?>\n<a>text</a>\n");
    }
    int run(std::vector<std::string> arguments)
    {
        errors.str("");
        return runPadprint(arguments, { registry, printers, dialog, errors });
    }
    int print(const std::string& path)
    {
        return run({ "/p", path });
    }

    test::TempDir dir;
    fs::path out = dir.path() / "out";
    fs::path target = out / "doc.pdf";
    fs::path source = dir.path() / "doc.xml";
    PrinterKey registry;
    DefaultPrinter printers;
    ScriptedSaveDialog dialog;
    std::ostringstream errors;
};

} // namespace

TEST(PadprintCommand, PrintsToOutputFileWithoutDialogWhenSaveAsIsBypassed)
{
    Printing p;
    EXPECT_EQ(p.print(p.source.string()), 0) << p.errors.str();
    EXPECT_TRUE(looksLikeWholePdf(readFile(p.target)));
    EXPECT_EQ(namesIn(p.out), std::vector<std::string> { "doc.pdf" }); // no temporary left beside it
    EXPECT_TRUE(p.dialog.proposals.empty());
    EXPECT_EQ(p.errors.str(), "");
    // "/P" is the same switch, as on the program's home platform.
    EXPECT_EQ(p.run({ "/P", p.source.string() }), 0);
}

TEST(PadprintCommand, ReplacesAnExistingPdfWhole)
{
    Printing p;
    writeFile(p.target, std::string(100000, 'x'));
    struct stat before
    {
    };
    ::stat(p.target.c_str(), &before);
    ASSERT_EQ(p.print(p.source.string()), 0) << p.errors.str();
    const std::string after = readFile(p.target);
    EXPECT_TRUE(looksLikeWholePdf(after));
    EXPECT_LT(after.size(), 100000u);
    EXPECT_EQ(namesIn(p.out), std::vector<std::string> { "doc.pdf" });
}

TEST(PadprintCommand, AsksForTheFileNameUnlessSaveAsIsBypassed)
{
    Printing p;
    p.registry.writeStrings(RegistryHive::CurrentUser, kPdfPrinterKey, { { "BypassSaveAs", "0" } });
    const fs::path chosen = p.out / "chosen.pdf";
    p.dialog.answer = { SaveDialogAnswer::Kind::Chosen, chosen.string(), {} };
    EXPECT_EQ(p.print(p.source.string()), 0) << p.errors.str();
    EXPECT_EQ(p.dialog.proposals, std::vector<std::string> { p.target.string() });
    EXPECT_EQ(namesIn(p.out), std::vector<std::string> { "chosen.pdf" });

    // Cancelling is the user's choice, not a failure: nothing is written and a note says so.
    fs::remove(chosen);
    p.dialog.answer = { SaveDialogAnswer::Kind::Cancelled, {}, {} };
    EXPECT_EQ(p.print(p.source.string()), 0);
    EXPECT_NE(p.errors.str().find("cancelled"), std::string::npos);
    EXPECT_TRUE(namesIn(p.out).empty());

    // No way to ask (no display, no dialog program) is a failure.
    p.dialog.answer = { SaveDialogAnswer::Kind::Unavailable, {}, "no display" };
    EXPECT_EQ(p.print(p.source.string()), kPadprintFailed);
    EXPECT_NE(p.errors.str().find("no display"), std::string::npos);
    EXPECT_TRUE(namesIn(p.out).empty());
}

TEST(PadprintCommand, FailsWithOneClearLineAndWritesNothing)
{
    Printing p;
    const std::string fifo = (p.dir.path() / "fifo.xml").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case
    {
        std::string what;
        std::function<void(Printing&)> arrange;
        std::string path;
        std::string expected; // part of the message
    };
    const std::vector<Case> cases = {
        { "missing file", {}, (p.dir.path() / "missing.xml").string(), "file not found" },
        { "folder", {}, p.dir.str(), "is a folder" },
        { "FIFO, without waiting for a writer", {}, fifo, "not a regular file" },
        { "no default printer", [](Printing& q) { q.printers.name.clear(); }, p.source.string(), "no default printer" },
        { "another default printer", [](Printing& q) { q.printers.name = "Other Printer"; }, p.source.string(),
            "\"Other Printer\"" },
        { "empty OutputFile",
            [](Printing& q) {
                q.registry.writeStrings(RegistryHive::CurrentUser, kPdfPrinterKey, { { "OutputFile", "" } });
            },
            p.source.string(), "OutputFile" },
        { "missing output folder",
            [](Printing& q) {
                q.registry.writeStrings(RegistryHive::CurrentUser, kPdfPrinterKey,
                    { { "OutputFile", (q.out / "no" / "doc.pdf").string() } });
            },
            p.source.string(), "does not exist" },
        { "target is a folder",
            [](Printing& q) {
                fs::create_directory(q.out / "taken.pdf");
                q.registry.writeStrings(
                    RegistryHive::CurrentUser, kPdfPrinterKey, { { "OutputFile", (q.out / "taken.pdf").string() } });
            },
            p.source.string(), "taken.pdf" },
    };
    for (const Case& c : cases) {
        Printing q;
        if (c.arrange)
            c.arrange(q);
        const std::string path = c.path == p.source.string() ? q.source.string() : c.path;
        EXPECT_EQ(q.print(path), kPadprintFailed) << c.what;
        const std::string message = q.errors.str();
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(path), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << c.what << ": " << message;
        for (const std::string& name : namesIn(q.out))
            EXPECT_EQ(name, "taken.pdf") << c.what << " left " << name;
    }

    for (const auto& arguments : std::vector<std::vector<std::string>> {
             {}, { p.source.string() }, { "/x", p.source.string() }, { "/p" }, { "/p", "a", "b" } }) {
        EXPECT_EQ(p.run(arguments), kPadprintUsage);
        EXPECT_NE(p.errors.str().find("usage"), std::string::npos);
    }
    EXPECT_TRUE(namesIn(p.out).empty());
}

TEST(PadprintCommand, WriteFailureLeavesNoFileAndTheOldOneIntact)
{
    // A file-size limit makes the disk refuse the PDF partway, as a full disk would.
    Printing p;
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "line " + std::to_string(i) + " of a text that will not fit in the allowed size\n";
    writeFile(p.source, big);
    writeFile(p.target, "old");
    rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const int code = p.print(p.source.string());
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(code, kPadprintFailed);
    EXPECT_NE(p.errors.str().find("cannot write"), std::string::npos) << p.errors.str();
    EXPECT_EQ(readFile(p.target), "old");
    EXPECT_EQ(namesIn(p.out), std::vector<std::string> { "doc.pdf" });
}

// Permissions do not bind root, who runs CI: the print runs as an ordinary user.
TEST(PadprintCommand, RefusesUnreadableSourceAndUnwritableFolder)
{
    EXPECT_TRUE(test::runAsOrdinaryUser([] {
        Printing p;
        fs::permissions(p.source, fs::perms::none);
        EXPECT_EQ(p.print(p.source.string()), kPadprintFailed);
        EXPECT_NE(p.errors.str().find("Permission denied"), std::string::npos) << p.errors.str();
        fs::permissions(p.source, fs::perms::owner_read | fs::perms::owner_write);

        fs::permissions(p.out, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(p.print(p.source.string()), kPadprintFailed);
        EXPECT_NE(p.errors.str().find("cannot write in the output folder"), std::string::npos) << p.errors.str();
        fs::permissions(p.out, fs::perms::owner_all);
        EXPECT_TRUE(namesIn(p.out).empty());
    }));
}
