#include "tests/faults/FaultScene.h"

#include "conversion/ConversionRun.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "text/CommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace papyrant::test {

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The text a source's PDF must hold, read back from the source.
std::string textOf(const fs::path& source)
{
    const std::string xml = readFile(source);
    const std::size_t start = xml.find("<note>");
    const std::size_t end = xml.find("</note>");
    return start == std::string::npos || end == std::string::npos ? std::string()
                                                                  : xml.substr(start + 6, end - start - 6);
}

} // namespace

fs::path binDir()
{
    const char* dir = std::getenv("PAPYRANT_BIN_DIR");
    if (dir && *dir)
        return dir;
    return testDir().parent_path() / "bin";
}

fs::path testDir()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

FaultScene::FaultScene()
{
    host.scriptedYielder.realTime = true;
    setUpUser();
    fs::create_directory(in());
    fs::create_directory(out());
}

void FaultScene::setUpUser()
{
    EXPECT_EQ(ShellAndWait(QuoteArgument((binDir() / "papyrant-platform").string()) + " setup", std::nullopt,
                  host.scriptedYielder),
        0);
    // Closed again at once: a test may fork, and a forked child must not share an open database.
    SqlitePrinterTable database(SqliteConnection::defaultDatabasePath());
    EXPECT_EQ(database.addPrinter(kUserPrinter), PrinterChange::Done);
    EXPECT_TRUE(database.setDefaultPrinter(kUserPrinter));
}

fs::path FaultScene::source(const std::string& name, const std::string& text)
{
    const fs::path path = in() / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<note>" << text << "</note>\n";
    return path;
}

fs::path FaultScene::bigSource(const std::string& name, int lines)
{
    const fs::path path = in() / name;
    std::ofstream file(path, std::ios::binary);
    file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<doc>\n";
    for (int i = 0; i < lines; ++i)
        file << "  <line n=\"" << i << "\">line " << i << " of a long report, with a few words more</line>\n";
    file << "</doc>\n";
    return path;
}

std::vector<std::string> FaultScene::convert(const std::vector<fs::path>& files, const fs::path& folder)
{
    host.entries.clear();
    for (const fs::path& file : files)
        host.entries.push_back(file.string());
    host.option1 = true;
    host.option2 = false;
    host.folder = (folder.empty() ? out() : folder).string();
    host.boxes.shown.clear();
    hung = false;

    const auto start = std::chrono::steady_clock::now();
    host.scriptedYielder.stop = false;
    host.scriptedYielder.onYield = [&] {
        if (std::chrono::steady_clock::now() - start > kRunLimit) {
            hung = true;
            host.scriptedYielder.stop = true;
        } else if (duringRun) {
            duringRun();
        }
    };
    {
        const std::unique_ptr<Registry> registry = openUserRegistry();
        const std::unique_ptr<PrinterSystem> printers = openPrinterSystem();
        ConversionRun conversion(ConversionServices { *registry, *printers, ShellAndWait, tryAcquireRunLock });
        conversion.run(host);
        EXPECT_FALSE(conversion.IsConverting());
    }
    host.scriptedYielder.onYield = nullptr;
    EXPECT_FALSE(hung) << "the run did not end within " << kRunLimit.count() << " s";
    return host.shownTexts();
}

std::string FaultScene::defaultPrinter() const
{
    SqlitePrinterTable database(SqliteConnection::defaultDatabasePath());
    const auto name = database.defaultPrinter();
    return name ? *name : "(none)";
}

std::string FaultScene::pdfText(const fs::path& pdf)
{
    const fs::path text = root() / "pdf.txt";
    fs::remove(text);
    EXPECT_EQ(ShellAndWait("pdftotext -enc UTF-8 " + QuoteArgument(pdf.string()) + " " + QuoteArgument(text.string()),
                  std::nullopt, host.scriptedYielder),
        0)
        << pdf;
    return readFile(text);
}

void FaultScene::expectConverted(const std::vector<fs::path>& sources, const fs::path& folder)
{
    for (const fs::path& source : sources) {
        const fs::path pdf = (folder.empty() ? out() : folder) / source.filename().replace_extension(".pdf");
        ASSERT_TRUE(fs::is_regular_file(pdf)) << pdf;
        EXPECT_NE(pdfText(pdf).find(textOf(source)), std::string::npos) << pdf;
    }
}

std::string notConverted(std::size_t fileCount, const std::vector<fs::path>& failed)
{
    std::string text = "Done.\r\n\r\n" + std::to_string(failed.size()) + " of " + std::to_string(fileCount)
        + (fileCount == 1 ? " file" : " files") + " could not be converted:";
    for (const fs::path& path : failed)
        text += "\r\n" + path.string();
    return text;
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<pid_t> childProcesses()
{
    std::vector<pid_t> children;
    const pid_t self = ::getpid();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // "pid (command) state ppid ...": the command may hold spaces and parentheses, the last ")" ends it.
        const std::string stat = readFile(entry.path() / "stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == self)
            children.push_back(static_cast<pid_t>(std::stoi(name)));
    }
    return children;
}

} // namespace papyrant::test
