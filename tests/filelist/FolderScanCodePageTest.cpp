// A folder tree under Windows' ANSI code page 1252 (the Windows stage): names the code page cannot hold.
#include "filelist/AddTreeFiles.h"
#include "filelist/FolderScan.h"
#include "runtime/GuardedCommand.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TEST(FolderScanCodePage, FoldersTheCodePageCannotNameAreLeftOutAndReportedAndFilesListedAsTheyAre)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    // "\u0416" (Zhe) has no form in code page 1252; "\u0100" (A with macron) has the best fit "A".
    for (const fs::path& folder : { fs::path(u8"ok"), fs::path(u8"\u0416"), fs::path(u8"ok/\u0416\u0416") })
        fs::create_directories(root / folder);
    std::ofstream(root / u8"\u0416" / u8"lost.xml") << "<a/>";
    std::ofstream(root / u8"ok" / u8"Apple.xml") << "<a/>";
    std::ofstream(root / u8"ok" / u8"\u0100pple.xml") << "<a/>";

    test::ScriptedMessageBoxes messages;
    test::ScriptedYielder yielder;
    const std::string start = utf8(root) + "\\";
    FolderList folders { start };
    std::vector<std::pair<std::string, ScanSkip>> skips;
    ScanContext context(messages, yielder);
    context.setSkipReport([&](const std::string& path, ScanSkip reason) { skips.emplace_back(path, reason); });
    GetSubDirectories2016(folders, true, context);

    EXPECT_EQ(folders, (FolderList { start, start + "ok\\" }));
    EXPECT_EQ(skips,
        (std::vector<std::pair<std::string, ScanSkip>> { { start + "\xd0\x96", ScanSkip::NameNotInCodePage },
            { start + "ok\\\xd0\x96\xd0\x96", ScanSkip::NameNotInCodePage } }));

    // The look-alike is listed under its own name beside the real "Apple.xml", so that its conversion fails.
    std::vector<std::string> entries;
    GuardedCommand cmd(messages, "test");
    AddTreeFiles(
        folders, "*.xml", [&](std::string entry) { entries.push_back(std::move(entry)); }, cmd);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string> { start + "ok\\Apple.xml", start + "ok\\\xc4\x80pple.xml" }));
    EXPECT_TRUE(messages.shown.empty());

    // A starting folder the code page cannot name is left out the same way.
    FolderList unnamed { start + "\xd0\x96\\" };
    skips.clear();
    GetSubDirectories2016(unnamed, true, context);
    EXPECT_EQ(
        skips, (std::vector<std::pair<std::string, ScanSkip>> { { start + "\xd0\x96", ScanSkip::NameNotInCodePage } }));
}

} // namespace
