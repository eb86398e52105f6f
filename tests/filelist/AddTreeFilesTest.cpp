#include "filelist/AddTreeFiles.h"

#include "filelist/FolderScan.h"
#include "runtime/GuardedCommand.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> addTree(
    const fs::path& folder, const char* pattern, test::ScriptedMessageBoxes& messages, const AppendEntry& append = {})
{
    test::ScriptedYielder yielder;
    FolderList folders { folder.string() + "/" };
    ScanContext context(messages, yielder);
    GetSubDirectories2016(folders, true, context);
    std::vector<std::string> entries;
    GuardedCommand cmd(messages, "Orvantis2021/08/31.Form1.PushButton4_Click");
    AddTreeFiles(
        folders, pattern, append ? append : [&](std::string entry) { entries.push_back(std::move(entry)); }, cmd);
    return entries;
}

} // namespace

TEST(AddTreeFiles, AddsTheXmlFilesOfTheTreeInScanOrder)
{
    test::TempDir dir;
    const fs::path data = dir.path() / "Data";
    test::makeFiles(data, { "a.xml", "b.txt", "~a.xml", "Sub/c.XML" });
    test::ScriptedMessageBoxes messages;
    EXPECT_EQ(addTree(data, "*.xml", messages),
        (std::vector<std::string> { (data / "a.xml").string(), (data / "Sub" / "c.XML").string() }));

    // The picked folder's own files first, then level by level; within a folder, in listing order.
    test::makeFiles(data, { "Sub/Deeper/d.xml", "Other/e.xml", "Z.xml" });
    EXPECT_EQ(addTree(data, "*.xml", messages),
        (std::vector<std::string> { (data / "a.xml").string(), (data / "Z.xml").string(),
            (data / "Other" / "e.xml").string(), (data / "Sub" / "c.XML").string(),
            (data / "Sub" / "Deeper" / "d.xml").string() }));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(AddTreeFiles, LeavesOutTildeAndHiddenArchiveFilesAndCollapsesSeparators)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFiles(root, { "plain.txt", ".hidden.txt", "~tmp.txt", "read-only.txt", "sub/.dot/inner.txt" });
    fs::permissions(root / "read-only.txt", fs::perms::owner_read);
    fs::create_symlink(root / ".hidden.txt", root / "link-to-hidden");

    test::ScriptedMessageBoxes messages;
    test::ScriptedYielder yielder;
    std::vector<std::string> entries;
    GuardedCommand cmd(messages, "Here");
    // A doubled separator, as a root start folder gives, is collapsed in each entry.
    AddTreeFiles(
        FolderList { root.string() + "//", (root / "sub" / ".dot").string() + "/" }, "*.*",
        [&](std::string entry) { entries.push_back(std::move(entry)); }, cmd);
    // The link is 1024 + 32, not 34: added, as a hidden file that is not exactly archive + hidden would be.
    EXPECT_EQ(entries,
        (std::vector<std::string> { root.string() + "/link-to-hidden", root.string() + "/plain.txt",
            root.string() + "/read-only.txt", (root / "sub" / ".dot" / "inner.txt").string() }));
}

TEST(AddTreeFiles, AFileThatCannotBeAddedCostsOnlyThatFile)
{
    test::TempDir dir;
    test::makeFiles(dir.path(), { "1.xml", "2.xml", "3.xml" });
    test::ScriptedMessageBoxes messages;
    std::vector<std::string> added;
    addTree(dir.path(), "*.xml", messages, [&](std::string entry) {
        if (entry.ends_with("2.xml"))
            throw RuntimeError(err::kOutOfMemory);
        added.push_back(std::move(entry));
    });
    EXPECT_EQ(added, (std::vector<std::string> { dir.str() + "/1.xml", dir.str() + "/3.xml" }));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(
        messages.shown[0].text.find("in Orvantis2021/08/31.Form1.PushButton4_Click at line 132"), std::string::npos);
}
