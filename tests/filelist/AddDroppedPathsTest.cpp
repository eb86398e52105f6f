#include "filelist/AddDroppedPaths.h"

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

using Entries = std::vector<std::string>;

struct Drop
{
    test::ScriptedMessageBoxes messages;
    test::ScriptedYielder yielder;
    Entries entries;

    Entries run(const std::vector<std::string>& paths)
    {
        entries.clear();
        AddDroppedPaths(
            paths, [&](std::string entry) { entries.push_back(std::move(entry)); }, messages, yielder);
        return entries;
    }
};

} // namespace

TEST(DropOfPaths, AddsFilesAsTheyCameAndFoldersWithTheirTreeInDropOrder)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFiles(root,
        { "report.pdf", "notes.txt", "~tmp.xml", "Data/a.xml", "Data/b.txt", "Data/~c.xml", "Data/.hidden",
            "Data/Sub/d.xml", "Other/e.xml" });
    const std::string data = (root / "Data").string();
    Drop drop;

    // Files: no test at all, not even whether they exist.
    const std::string missing = (root / "gone" / "x.xml").string();
    const std::string doubled = root.string() + "//notes.txt";
    EXPECT_EQ(drop.run({ (root / "report.pdf").string(), (root / "~tmp.xml").string(), missing, doubled }),
        (Entries { (root / "report.pdf").string(), (root / "~tmp.xml").string(), missing, doubled }));

    // Folders: every file of the tree, each dropped folder scanned and added on its own.
    EXPECT_EQ(drop.run({ data, (root / "Other").string() }),
        (Entries { data + "/a.xml", data + "/b.txt", data + "/Sub/d.xml", (root / "Other" / "e.xml").string() }));

    // Both, in the order of the drop; a closing separator on a folder changes nothing.
    EXPECT_EQ(
        drop.run({ (root / "notes.txt").string(), (root / "Other").string() + "/", (root / "report.pdf").string() }),
        (Entries {
            (root / "notes.txt").string(), (root / "Other" / "e.xml").string(), (root / "report.pdf").string() }));

    // The same folder dropped twice is added twice.
    EXPECT_EQ(drop.run({ data + "/Sub", data + "/Sub" }).size(), 2u);
    EXPECT_TRUE(drop.messages.shown.empty());
}

TEST(DropOfPaths, APathThatFailsDoesNotStopTheOthers)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFiles(root, { "first.xml", "Folder/a.xml", "Folder/b.xml", "last.xml" });
    test::ScriptedMessageBoxes messages;
    test::ScriptedYielder yielder;
    Entries entries;
    AddDroppedPaths(
        { (root / "first.xml").string(), (root / "Folder").string(), (root / "last.xml").string() },
        [&](std::string entry) {
            if (entry.ends_with("first.xml") || entry.ends_with("a.xml"))
                throw RuntimeError(err::kPermissionDenied);
            entries.push_back(std::move(entry));
        },
        messages, yielder);
    EXPECT_EQ(entries, (Entries { (root / "Folder" / "b.xml").string(), (root / "last.xml").string() }));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("Orvantis2021/08/31.Form1.ListView1_OLEDragDrop"), std::string::npos);

    // A stop request (the window closing) ends the drop before the next path.
    test::ScriptedYielder stopping;
    stopping.stop = true;
    entries.clear();
    AddDroppedPaths(
        { (root / "first.xml").string() }, [&](std::string entry) { entries.push_back(entry); }, messages, stopping);
    EXPECT_TRUE(entries.empty());
}
