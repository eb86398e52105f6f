#include "filelist/DropData.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;

using Paths = std::vector<std::string>;

TEST(DropData, TakesLocalFileUrlsInOrderAsExactBytes)
{
    EXPECT_EQ(localPathsFromUriList("file:///home/u/report.pdf\r\nfile:///home/u/notes.txt\r\n"),
        (Paths { "/home/u/report.pdf", "/home/u/notes.txt" }));
    EXPECT_EQ(localPathsFromUriList("file:///a%20b/%C3%A9t%C3%A9.xml\nfile://localhost/x\nFILE://LocalHost/y"),
        (Paths { "/a b/\xc3\xa9t\xc3\xa9.xml", "/x", "/y" }));
    // Escapes give the bytes as they are, whether they are UTF-8 or not; a backslash or newline is a name byte.
    EXPECT_EQ(localPathsFromUriList("file:///raw%FF%fe\nfile:///back%5Cslash\nfile:///line%0Abreak"),
        (Paths { "/raw\xff\xfe", "/back\\slash", "/line\nbreak" }));
    EXPECT_EQ(localPathsFromUriList("file:/short/form\nfile:///folder/\nfile:///q?query#fragment"),
        (Paths { "/short/form", "/folder/", "/q" }));
}

TEST(DropData, IgnoresEverythingThatIsNoLocalFile)
{
    const char* ignored[] = {
        "",
        "\r\n\r\n",
        "# a comment\r\n",
        "http://example.org/a.xml",
        "https://example.org/a.xml",
        "file://otherhost/share/a.xml",
        "file:relative/a.xml",
        "file://localhost",
        "file:///bad%zzescape",
        "file:///cut%4",
        "file:///nul%00byte",
        "mailto:someone@example.org",
        "just text",
    };
    for (const char* data : ignored) {
        EXPECT_TRUE(localPathsFromUriList(data).empty()) << data;
        EXPECT_FALSE(carriesLocalFiles(data)) << data;
    }
    EXPECT_EQ(
        localPathsFromUriList("# comment\r\nhttp://x/y\r\n  file:///kept  \r\nfile://far/away\r\n"), Paths { "/kept" });
    EXPECT_TRUE(carriesLocalFiles("http://x/y\nfile:///kept"));
}
