#include "filelist/ListFiles.h"

#include "runtime/RuntimeError.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

TEST(ListFiles, GivesTheOneBasedArrayOrItsEmptyForm)
{
    test::TempDir dir;
    const FileNameArray none = ListFiles(dir.str(), "*.*");
    EXPECT_EQ(none.lowerBound(), 0u);
    EXPECT_EQ(none.upperBound(), 0u);
    EXPECT_EQ(none(0), "");
    EXPECT_THROW(none(1), RuntimeError);
    EXPECT_EQ(ListFiles(dir.str() + "/no such folder", "*.*").upperBound(), 0u);

    std::vector<std::string> expected;
    for (int i = 0; i < 150; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d.xml", i);
        test::makeFiles(dir.path(), { name });
        expected.push_back(name);
    }
    test::makeFiles(dir.path(), { "other.txt" });
    const FileNameArray all = ListFiles(dir.str() + "/", "*.xml");
    EXPECT_EQ(all.lowerBound(), 1u);
    ASSERT_EQ(all.upperBound(), 150u);
    EXPECT_EQ(all(1), "f000.xml");
    EXPECT_EQ(all(150), "f149.xml");
    EXPECT_EQ(all.names(), expected);
    try {
        all(151);
        FAIL() << "no error past the upper bound";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), err::kSubscriptOutOfRange);
    }
}

TEST(ListFiles, KeepsExistingFilesOnlyHiddenOnesIncluded)
{
    test::TempDir dir;
    const fs::path root = dir.path();
    test::makeFiles(root, { "a.xml", "B.XML", ".hidden.xml", "~lock.xml", "c.Xml.bak" });
    test::makeFolders(root, { "folder.xml" });
    fs::create_directory_symlink(root / "folder.xml", root / "dirlink.xml");
    fs::create_symlink(root / "missing.xml", root / "dangling.xml");
    fs::create_symlink(root / "a.xml", root / "link.xml");
    ASSERT_EQ(::mkfifo((root / "pipe.xml").c_str(), 0600), 0);

    EXPECT_EQ(ListFiles(dir.str(), "*.xml").names(),
        (std::vector<std::string> { ".hidden.xml", "a.xml", "B.XML", "link.xml", "~lock.xml" }));
}
