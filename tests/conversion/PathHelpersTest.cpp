#include "conversion/PathHelpers.h"

#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>
#include <string>

using namespace papyrant;

namespace {

// The Windows tables are written with "\"; the same cases run with "/" by swapping the separator.
std::string slashes(std::string text)
{
    for (char& c : text) {
        if (c == '\\')
            c = '/';
        else if (c == '/')
            c = '\\';
    }
    return text;
}

struct Case
{
    std::string input;
    std::string expected;
};

} // namespace

TEST(PathHelpers, ExtractFileNameTakesTheTextAfterTheLastSeparator)
{
    const Case cases[] = {
        { "C:\\data\\a.xml", "a.xml" },
        { "a.xml", "a.xml" },
        { "C:\\data\\", "" },
        { "", "" },
        { "C:/data/a.xml", "C:/data/a.xml" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileName(c.input, '\\'), c.expected) << c.input;
        EXPECT_EQ(ExtractFileName(slashes(c.input), '/'), slashes(c.expected)) << c.input;
    }
}

TEST(PathHelpers, ExtractFolderKeepsTheClosingSeparator)
{
    const Case cases[] = {
        { "C:\\data\\a.xml", "C:\\data\\" },
        { "\\\\srv\\share\\a.xml", "\\\\srv\\share\\" },
        { "a.xml", "" },
        { "C:\\", "C:\\" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFolder(c.input, '\\'), c.expected) << c.input;
        EXPECT_EQ(ExtractFolder(slashes(c.input), '/'), slashes(c.expected)) << c.input;
    }
}

TEST(PathHelpers, StripExtensionRemovesOnlyTheLastExtension)
{
    const Case cases[] = {
        { "a.xml", "a" },
        { "report.final.xml", "report.final" },
        { ".xml", ".xml" },
        { "a.", "a" },
        { "noext", "noext" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripExtension(c.input), c.expected) << c.input;
}

TEST(PathHelpers, CollapseBackslashesMakesDoubledSeparatorsSingleInOnePass)
{
    const Case windows[] = {
        { "C:\\data\\\\a.xml", "C:\\data\\a.xml" },
        { "C:\\data\\\\\\a.xml", "C:\\data\\\\a.xml" },
        { "\\\\srv\\share\\\\a.xml", "\\\\srv\\share\\a.xml" },
        { "\\a\\\\b", "\\\\a\\b" },
        { "\\\\\\\\srv\\a", "\\\\srv\\a" },
        { "\\", "\\\\" },
        { "C:\\\\", "C:\\" },
        { "", "" },
    };
    for (const auto& c : windows)
        EXPECT_EQ(CollapseBackslashes(c.input, '\\'), c.expected) << c.input;

    // With "/" every absolute path starts with one separator, and a leading run becomes exactly one.
    const Case posix[] = {
        { "/data//a.xml", "/data/a.xml" },
        { "/data///a.xml", "/data//a.xml" },
        { "//srv/share//a.xml", "/srv/share/a.xml" },
        { "/a//b", "/a/b" },
        { "////srv/a", "/srv/a" },
        { "/", "/" },
        { "data//", "data/" },
        { "", "" },
        { "/home/user/a\\\\b.xml", "/home/user/a\\\\b.xml" },
    };
    for (const auto& c : posix)
        EXPECT_EQ(CollapseBackslashes(c.input, '/'), c.expected) << c.input;
}

TEST(PathHelpers, PositionsBeyond32767Overflow)
{
    const std::string longFolder = std::string(32767, 'a') + "\\b";
    EXPECT_EQ(ExtractFolder(std::string(32766, 'a') + "\\b", '\\').size(), 32767u);
    try {
        ExtractFolder(longFolder, '\\');
        FAIL() << "no overflow";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), err::kOverflow);
        EXPECT_EQ(error.description(), "Overflow");
    }
    EXPECT_THROW(StripExtension(std::string(32767, 'a') + ".xml"), RuntimeError);
    EXPECT_EQ(StripExtension(std::string(32766, 'a') + ".xml"), std::string(32766, 'a'));
    // Extracting the name needs no position and never overflows.
    EXPECT_EQ(ExtractFileName(longFolder, '\\'), "b");
}

TEST(PathHelpers, FolderAndNameGiveBackThePath)
{
    for (const std::string path : { "/home/a b/c.xml", "c.xml", "/", "/x/", "rel/dir/f" })
        EXPECT_EQ(ExtractFolder(path, '/') + ExtractFileName(path, '/'), path);
}
