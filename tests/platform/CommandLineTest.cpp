#include "platform/Process.h"

#include <gtest/gtest.h>
#include <random>

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

    std::mt19937 random(20240607);
    const std::string alphabet = std::string("\\\" \t\nab\"\\") + '\x01' + '\xff' + '\x80';
    for (int round = 0; round < 5000; ++round) {
        Arguments expected { "/usr/bin/program name" };
        std::string line = "\"" + expected.front() + "\"";
        const int count = static_cast<int>(random() % 4);
        for (int n = 0; n < count; ++n) {
            std::string argument;
            const int length = static_cast<int>(random() % 12);
            for (int i = 0; i < length; ++i) {
                // Mostly the characters that matter to quoting, sometimes any byte but NUL.
                argument
                    += random() % 4 == 0 ? static_cast<char>(1 + random() % 255) : alphabet[random() % alphabet.size()];
            }
            expected.push_back(argument);
            line += ' ' + QuoteArgument(argument);
        }
        ASSERT_EQ(ParseCommandLine(line), expected) << line;
    }
}

} // namespace
} // namespace papyrant
