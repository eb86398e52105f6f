#include "conversion/ListedSources.h"

#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

class ListedSourcesTest : public ::testing::Test
{
protected:
    ListedSourcesTest()
    {
        fs::create_directories(dir.path() / "in" / "sub");
        for (const char* name : { "in/a.xml", "in/a.pdf", "in/b.pdf", "other.pdf" })
            std::ofstream(dir.path() / name) << "x";
    }
    std::string at(const std::string& relative) const
    {
        return dir.str() + "/" + relative;
    }

    test::TempDir dir;
    ListedSources sources;
};

} // namespace

TEST_F(ListedSourcesTest, AListedFileIsFoundUnderEveryOtherName)
{
    sources.add(at("in/a.pdf"));
    fs::create_directory_symlink(dir.path() / "in", dir.path() / "link-to-in");
    fs::create_hard_link(dir.path() / "in" / "a.pdf", dir.path() / "hard.pdf");

    EXPECT_TRUE(sources.holds(at("in/a.pdf")));
    EXPECT_TRUE(sources.holds(at("in/./a.pdf")));
    EXPECT_TRUE(sources.holds(at("in/sub/../a.pdf")));
    EXPECT_TRUE(sources.holds(at("in//a.pdf")));
    EXPECT_TRUE(sources.holds(at("link-to-in/a.pdf")));
    EXPECT_TRUE(sources.holds(at("hard.pdf")));

    EXPECT_FALSE(sources.holds(at("in/b.pdf"))) << "another existing file";
    EXPECT_FALSE(sources.holds(at("other.pdf")));
    EXPECT_FALSE(sources.holds(at("in/./new.pdf"))) << "a target that does not exist yet";
    EXPECT_FALSE(sources.holds(at("in/A.pdf"))) << "names differ by case on this file system";
}

TEST_F(ListedSourcesTest, FollowsTheListAddedRemovedAndCleared)
{
    // A listed text counts even when it names nothing yet.
    sources.add(at("in/future.pdf"));
    EXPECT_TRUE(sources.holds(at("in/future.pdf")));

    // The same text listed twice stays listed until both entries are gone.
    sources.add(at("in/a.pdf"));
    sources.add(at("in/a.pdf"));
    EXPECT_TRUE(sources.holds(at("in/./a.pdf"))); // the identities are read now
    sources.remove(at("in/a.pdf"));
    EXPECT_TRUE(sources.holds(at("in/./a.pdf")));
    sources.remove(at("in/a.pdf"));
    EXPECT_FALSE(sources.holds(at("in/./a.pdf")));
    EXPECT_FALSE(sources.holds(at("in/a.pdf")));

    // An entry added after the identities were read is found under another name too.
    sources.add(at("in/sub/../b.pdf"));
    EXPECT_TRUE(sources.holds(at("in/b.pdf")));

    // Two texts for one file: removing one keeps the file listed through the other.
    sources.add(at("in/b.pdf"));
    sources.remove(at("in/sub/../b.pdf"));
    EXPECT_TRUE(sources.holds(at("in/./b.pdf")));

    sources.remove(at("never/listed.pdf")); // nothing to remove: no harm
    sources.clear();
    EXPECT_FALSE(sources.holds(at("in/b.pdf")));
    EXPECT_FALSE(sources.holds(at("in/future.pdf")));
    sources.add(at("in/a.pdf"));
    EXPECT_TRUE(sources.holds(at("in/./a.pdf"))) << "cleared, then listed again";
}
