#include "text/CommandLine.h"

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
}

// Quoting then splitting gives back the exact bytes: every text of up to five characters from those that matter to
// the rules (backslash, quote, space, tab, a letter), each alone and beside a neighbour, and some awkward file
// names. The fuzz target (tests/fuzz/CommandLineFuzz.cpp) tries any bytes beyond these.
TEST(CommandLine, QuotedArgumentsSplitBackExactly)
{
    const std::string alphabet = "\\\" \ta";
    std::vector<std::string> texts { "" };
    for (std::size_t from = 0, length = 1; length <= 5; ++length) {
        const std::size_t to = texts.size();
        for (std::size_t i = from; i < to; ++i) {
            for (const char c : alphabet)
                texts.push_back(texts[i] + c);
        }
        from = to;
    }
    ASSERT_EQ(texts.size(), 1u + 5 + 25 + 125 + 625 + 3125);
    for (const char* name :
        { "C:\\Program Files\\a b\\", "\\\\server\\share\\x.xml", "quote\"d.xml", "-dash.xml", "a&b|c^d<e>f %PATH% !x!",
            "line\nbreak", "Gr\xc3\xbc\xc3\x9f\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.xml", "\x01\x7f\x80\xff" })
        texts.push_back(name);

    const std::string program = "C:\\Program Files\\pad.exe";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string& text = texts[i];
        const std::string& neighbour = texts[(i * 7 + 3) % texts.size()];
        const std::string line = QuoteArgument(program) + " /p " + QuoteArgument(text) + " " + QuoteArgument(neighbour);
        ASSERT_EQ(ParseCommandLine(line), (Arguments { program, "/p", text, neighbour })) << line;
    }
}

} // namespace
} // namespace papyrant
