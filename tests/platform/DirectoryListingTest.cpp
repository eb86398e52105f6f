#include "platform/DirectoryListing.h"

#include "platform/FileSystem.h"
#include "runtime/RuntimeError.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

std::vector<std::string> namesOf(const FolderListing& listing)
{
    std::vector<std::string> names;
    for (const SubfolderEntry& entry : listing.subfolders)
        names.push_back(entry.name);
    return names;
}

} // namespace

TEST(FileAttributes, FollowTheHomePlatformsMeaning)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFiles(root, { "plain.xml", ".hidden.xml" });
    test::makeFolders(root, { "Folder", ".dotfolder" });
    fs::create_directory_symlink(root / "Folder", root / "folderlink");
    fs::create_symlink(root / "plain.xml", root / "filelink");
    fs::create_symlink(root / "nowhere", root / "dangling");

    EXPECT_EQ(GetAttributes((root / "plain.xml").string()), attr::kArchive);
    EXPECT_EQ(GetAttributes((root / ".hidden.xml").string()), 34);
    EXPECT_EQ(GetAttributes((root / "Folder").string()), attr::kDirectory);
    EXPECT_EQ(GetAttributes((root / ".dotfolder").string()), attr::kDirectory | attr::kHidden);
    EXPECT_EQ(GetAttributes((root / "folderlink").string()), attr::kDirectory | attr::kReparsePoint);
    EXPECT_EQ(GetAttributes((root / "filelink").string()), attr::kArchive | attr::kReparsePoint);
    EXPECT_EQ(GetAttributes((root / "dangling").string()), attr::kReparsePoint);
    // A closing separator still names the folder itself, link and dot-name included.
    EXPECT_EQ(GetAttributes((root / ".dotfolder").string() + "/"), attr::kDirectory | attr::kHidden);
    EXPECT_EQ(GetAttributes((root / "folderlink").string() + "//"), attr::kDirectory | attr::kReparsePoint);
    EXPECT_EQ(GetAttributes("/") & attr::kHidden, 0);

    EXPECT_EQ(errorNumberOf([&] { GetAttributes((root / "missing.xml").string()); }), err::kFileNotFound);
    EXPECT_EQ(errorNumberOf([&] { GetAttributes((root / "missing").string() + "/"); }), err::kPathNotFound);
}

// Root may read and write anything, and runs CI: the permission cases run as an ordinary user.
TEST(DirectoryListing, ReadOnlyFilesAndLockedFoldersAsAnOrdinaryUserSeesThem)
{
    EXPECT_TRUE(test::runAsOrdinaryUser([] {
        test::TempDir dir;
        const fs::path root = dir.path();
        test::makeFiles(root, { "plain.xml" });
        fs::permissions(root / "plain.xml", fs::perms::owner_read);
        EXPECT_EQ(GetAttributes((root / "plain.xml").string()), attr::kArchive | attr::kReadOnly);

        test::makeFolders(root, { "locked" });
        fs::permissions(root / "locked", fs::perms::none);
        EXPECT_EQ(errorNumberOf([&] { listSubfolders((root / "locked").string()); }), err::kPermissionDenied);
        EXPECT_EQ(
            errorNumberOf([&] { listMatchingFileNames((root / "locked").string(), "*"); }), err::kPermissionDenied);
        fs::permissions(root / "locked", fs::perms::owner_all);
    }));
}

TEST(DirectoryListing, ListsSubfoldersSortedWithExactNamesAndIdentities)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFolders(root, { "b", "B2", "a", ".git", "with space", "\xff\xfe raw" });
    test::makeFiles(root, { "file.xml", "a/inner.xml" });
    fs::create_directory_symlink(root / "a", root / "link-to-a");
    fs::create_symlink(root / "file.xml", root / "link-to-file");
    fs::create_symlink(root / "nowhere", root / "dangling");

    const FolderListing listing = listSubfolders(root.string() + "/");
    EXPECT_EQ(namesOf(listing),
        (std::vector<std::string> { ".git", "a", "b", "B2", "link-to-a", "with space", "\xff\xfe raw" }));
    const SubfolderEntry& a = listing.subfolders[1];
    const SubfolderEntry& link = listing.subfolders[4];
    EXPECT_EQ(a.attributes, attr::kDirectory);
    EXPECT_EQ(link.attributes, attr::kDirectory | attr::kReparsePoint);
    EXPECT_EQ(listing.subfolders[0].attributes, attr::kDirectory | attr::kHidden);
    EXPECT_EQ(a.identity, link.identity);
    EXPECT_EQ(listSubfolders((root / "link-to-a").string()).identity, a.identity);
    EXPECT_NE(a.identity, listing.subfolders[2].identity);
    EXPECT_TRUE(fs::is_directory(root / listing.subfolders[6].name));
}

TEST(DirectoryListing, FailuresCarryTheRuntimeNumbers)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFiles(root, { "file.xml" });
    const std::string missing = (root / "missing").string();
    const std::string file = (root / "file.xml").string();

    EXPECT_EQ(errorNumberOf([&] { listSubfolders(missing); }), err::kPathNotFound);
    EXPECT_EQ(errorNumberOf([&] { listMatchingFileNames(missing, "*.*"); }), err::kPathNotFound);
    EXPECT_EQ(errorNumberOf([&] { listSubfolders(file); }), err::kPathNotFound);
    EXPECT_EQ(errorNumberOf([&] { listSubfolders(""); }), err::kPathNotFound);
}
