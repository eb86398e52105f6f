#include "platform/Process.h"

#include <gtest/gtest.h>

namespace papyrant {
namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsRules)
{
    EXPECT_EQ(ParseCommandLine(""), Arguments {});
    EXPECT_EQ(ParseCommandLine("  \t "), Arguments {});
    EXPECT_EQ(ParseCommandLine(" /p \"a.xml\""), (Arguments { "/p", "a.xml" }));
    // The program name: quotes group, backslashes are plain characters.
    EXPECT_EQ(ParseCommandLine("\"C:\\Program Files\\pad.exe\" /p \"C:\\x y\\a.xml\""),
        (Arguments { "C:\\Program Files\\pad.exe", "/p", "C:\\x y\\a.xml" }));
    EXPECT_EQ(ParseCommandLine("C:\\dir\\\"pad\" x"), (Arguments { "C:\\dir\\pad", "x" }));
    EXPECT_EQ(ParseCommandLine("a\"b c\"d e"), (Arguments { "ab cd", "e" }));
    // Later arguments: backslashes count only before a quote.
    EXPECT_EQ(
        ParseCommandLine("p a\\\\b \\\"x \"\\\\\" 3\\\\\\\"q"), (Arguments { "p", "a\\\\b", "\"x", "\\", "3\\\"q" }));
    EXPECT_EQ(ParseCommandLine("p \"\" \"a\"\"b\" x\"\"y"), (Arguments { "p", "", "a\"b", "xy" }));
    EXPECT_EQ(ParseCommandLine("p \"open ended"), (Arguments { "p", "open ended" }));
    EXPECT_EQ(ParseCommandLine("p a\nb"), (Arguments { "p", "a\nb" }));
}

TEST(CommandLine, QuotesPathsPlainlyAndAnythingElseSoThatItSplitsBack)
{
    EXPECT_EQ(QuoteArgument("C:\\Documents and Settings\\u\\a b.xml"), "\"C:\\Documents and Settings\\u\\a b.xml\"");
    EXPECT_EQ(QuoteArgument("/home/u/ä ö/\\weird\\name.xml"), "\"/home/u/ä ö/\\weird\\name.xml\"");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    EXPECT_EQ(QuoteArgument("a\\"), "\"a\\\\\"");
    EXPECT_EQ(QuoteArgument("say \\\"hi\""), "\"say \\\\\\\"hi\\\"\"");

    // Quoting then splitting any list of arguments gives back their exact bytes: tests/fuzz/CommandLineFuzz.cpp.
}

} // namespace
} // namespace papyrant
