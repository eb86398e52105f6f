#include "filelist/FolderScan.h"

#include "filelist/BrowseForFolder.h"
#include "platform/FileSystem.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

struct Scan
{
    test::ScriptedMessageBoxes messages;
    test::ScriptedYielder yielder;

    // The folder list after scanning root, each value relative to root ("" for root itself).
    std::vector<std::string> run(const fs::path& root)
    {
        const std::string start = root.string() + "/";
        FolderList folders { start };
        ScanContext context(messages, yielder);
        GetSubDirectories2016(folders, true, context);
        std::vector<std::string> relative;
        for (const std::string& folder : folders)
            relative.push_back(folder.rfind(start, 0) == 0 ? folder.substr(start.size()) : "outside:" + folder);
        return relative;
    }
};

using Folders = std::vector<std::string>;

} // namespace

TEST(FolderScan, ReturnsTheTreeLevelByLevelAndYieldsForEveryFolder)
{
    test::TempDir dir;
    test::makeFolders(dir.path(), { "B/B1", "A/A2", "A/A1/A1x" });
    Scan scan;
    EXPECT_EQ(scan.run(dir.path()), (Folders { "", "A/", "B/", "A/A1/", "A/A2/", "B/B1/", "A/A1/A1x/" }));
    EXPECT_TRUE(scan.messages.shown.empty());
    // Once per folder entered, once per subfolder listed, and once per folder in the second pass of each level,
    // which hands on the deeper levels too: 6 at the start folder, 4 below it, 1 below that.
    EXPECT_EQ(scan.yielder.yields, 7 + 6 + (6 + 4 + 1));

    test::TempDir empty;
    Scan alone;
    EXPECT_EQ(alone.run(empty.path()), Folders { "" });

    // Siblings come in name order without regard to case; hidden folders are entered like any other.
    test::TempDir mixed;
    test::makeFolders(mixed.path(), { "b", "C", "a", ".git/objects" });
    test::makeFiles(mixed.path(), { "file-not-folder" });
    Scan sorted;
    EXPECT_EQ(sorted.run(mixed.path()), (Folders { "", ".git/", "a/", "b/", "C/", ".git/objects/" }));
}

TEST(FolderScan, RefusesNamesWithControlCharactersQuestionMarksOrInvalidUtf8)
{
    EXPECT_FALSE(HasBadChars(""));
    EXPECT_FALSE(HasBadChars("Ωmega café 日本 \"quoted\" back\\slash ~tilde"));
    EXPECT_FALSE(HasBadChars("nbsp\xc2\xa0here")); // U+00A0 is the first character after the C1 range
    for (const char* bad : { "tab\there", "line\nbreak", "del\x7f", "c1\xc2\x80", "c1\xc2\x9f", "what?", "raw\xff",
             "overlong\xc0\xaf", "surrogate\xed\xa0\x80", "beyond\xf4\x90\x80\x80", "cut\xe2\x82" })
        EXPECT_TRUE(HasBadChars(bad)) << bad;

    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFolders(root,
        { "ok/inner", "ctl\x01/inner", "nl\nname/inner", "q?mark/inner", "raw\xff/inner", "c1\xc2\x85/inner",
            "sp ace/inner", "back\\slash" });
    Scan scan;
    EXPECT_EQ(scan.run(root), (Folders { "", "back\\slash/", "ok/", "sp ace/", "ok/inner/", "sp ace/inner/" }));
    EXPECT_TRUE(scan.messages.shown.empty());
}

TEST(FolderScan, EntersEveryFolderOnceWhateverLinksLeadToIt)
{
    test::TempDir dir;
    test::TempDir outside;
    const fs::path root = dir.path();
    test::makeFolders(root, { "A/A1", "C" });
    test::makeFolders(outside.path(), { "O1" });
    fs::create_directory_symlink(root, root / "A" / "up"); // a cycle back to the start
    fs::create_directory_symlink(root / "C", root / "C" / "self"); // a cycle onto itself
    fs::create_directory_symlink(root / "A", root / "B"); // a second way into A
    fs::create_directory_symlink(outside.path(), root / "Z"); // a link to a folder met nowhere else

    Scan scan;
    EXPECT_EQ(scan.run(root), (Folders { "", "A/", "C/", "Z/", "A/A1/", "Z/O1/" }));
    EXPECT_TRUE(scan.messages.shown.empty());
}

TEST(FolderScan, DropsAFolderThatVanishesWhileTheScanRuns)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFolders(root, { "A/A1", "B/B1", "C" });
    Scan scan;
    // Yields: 1 entering the start, 2 to 4 its subfolders, 5 entering A, 6 its A1, 7 entering B. B then turns
    // into a file before it is listed: the skip step takes it out of the list, quietly.
    scan.yielder.onYield = [&] {
        if (scan.yielder.yields == 7) {
            fs::remove_all(root / "B");
            test::makeFiles(root, { "B" });
        }
    };
    EXPECT_EQ(scan.run(root), (Folders { "", "A/", "C/", "A/A1/" }));
    EXPECT_TRUE(scan.messages.shown.empty());

    // Before any folder has been listed, a failure is reported with the scan's step, and the scan goes on.
    test::TempDir gone;
    test::makeFolders(gone.path(), { "A" });
    Scan early;
    early.yielder.onYield = [&] {
        if (early.yielder.yields == 1)
            fs::remove_all(gone.path() / "A");
    };
    FolderList folders { (gone.path() / "A").string() + "/" };
    ScanContext context(early.messages, early.yielder);
    GetSubDirectories2016(folders, true, context);
    EXPECT_EQ(folders.size(), 1u);
    ASSERT_EQ(early.messages.shown.size(), 1u);
    EXPECT_EQ(
        early.messages.shown[0].text.rfind("Path not found\r\nin " + std::string(kScanLocation) + " at line 116", 0),
        0u);
}

// Permissions do not bind root, who runs CI; the scan runs as an ordinary user.
TEST(FolderScan, LeavesOutFoldersItCannotRead)
{
    EXPECT_TRUE(test::runAsOrdinaryUser([] {
        test::TempDir dir;
        const fs::path root = dir.path();
        test::makeFolders(root, { "A/A1", "0locked/inside", "L/inside", "Z" });
        fs::permissions(root / "0locked", fs::perms::none);
        fs::permissions(root / "L", fs::perms::owner_write); // can be neither read nor searched
        Scan scan;
        EXPECT_EQ(scan.run(root), (Folders { "", "A/", "Z/", "A/A1/" }));
        EXPECT_TRUE(scan.messages.shown.empty());

        // An unreadable start folder leaves the list empty.
        fs::permissions(root, fs::perms::owner_write | fs::perms::owner_exec);
        Scan locked;
        EXPECT_TRUE(locked.run(root).empty());
        EXPECT_TRUE(locked.messages.shown.empty());
        fs::permissions(root, fs::perms::owner_all);
        fs::permissions(root / "0locked", fs::perms::owner_all);
        fs::permissions(root / "L", fs::perms::owner_all);
    }));
}

TEST(FolderScan, FinishesQuietlyOnDeepTreesAndAtThePathLimit)
{
    test::TempDir dir;
    fs::path deepest = dir.path();
    for (int level = 0; level < 200; ++level)
        deepest /= "level" + std::to_string(level);
    fs::create_directories(deepest);
    Scan deep;
    const Folders levels = deep.run(dir.path());
    ASSERT_EQ(levels.size(), 201u);
    EXPECT_EQ(levels.back(), deepest.string().substr(dir.str().size() + 1) + "/");

    // A chain of long names that goes past the longest path the system takes: folders up to the limit are
    // returned, the rest is left alone without a report.
    test::TempDir longDir;
    const std::string name(200, 'n');
    int fd = ::open(longDir.str().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    const int levelsMade = static_cast<int>(kMaxPath / (name.size() + 1)) + 3;
    for (int level = 0; level < levelsMade; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0700), 0);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        ASSERT_GE(fd, 0);
    }
    ::close(fd);
    Scan limit;
    const Folders found = limit.run(longDir.path());
    EXPECT_TRUE(limit.messages.shown.empty());
    EXPECT_GT(found.size(), 10u);
    EXPECT_LT(found.size(), static_cast<std::size_t>(levelsMade) + 1);
    for (const std::string& folder : found)
        EXPECT_LT(longDir.str().size() + 1 + folder.size(), kMaxPath);
    test::removeDeepTree(AT_FDCWD, (longDir.path() / name).c_str());
}

TEST(FolderScan, EndsEarlyWhenAStopIsRequested)
{
    test::TempDir dir;
    test::makeFolders(dir.path(), { "A/A1", "B/B1" });
    Scan scan;
    scan.yielder.onYield = [&] { scan.yielder.stop = scan.yielder.yields >= 2; };
    const Folders found = scan.run(dir.path());
    EXPECT_EQ(found, Folders { "" });
    EXPECT_EQ(scan.yielder.yields, 2);
}

TEST(BrowseForFolder, GivesThePickedFolderWithoutClosingSeparator)
{
    test::ScriptedFolderPicker picker;
    picker.result = "/data/xml/";
    EXPECT_EQ(BrowseForFolder(picker, "Please select folder:", "/data"), "/data/xml");
    EXPECT_EQ(picker.titles.back(), "Please select folder:");
    EXPECT_EQ(picker.startFolders.back(), "/data");
    picker.result = "/";
    EXPECT_EQ(BrowseForFolder(picker, "t", ""), "/");
    picker.result = "/data/xml";
    EXPECT_EQ(BrowseForFolder(picker, "t", ""), "/data/xml");
    picker.result = "";
    EXPECT_EQ(BrowseForFolder(picker, "t", "/data"), "");
}
