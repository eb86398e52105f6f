#include "tools/papyrant-convert/ConvertOptions.h"

#include "tools/papyrant-convert/DisplayName.h"
#include "tools/papyrant-convert/JsonReport.h"

#include <gtest/gtest.h>

using namespace papyrant;

namespace {

using Args = std::vector<std::string>;

ConvertOptions parsedOk(const Args& arguments)
{
    const ParsedOptions parsed = parseConvertOptions(arguments);
    EXPECT_EQ(parsed.error, "") << "for " << ::testing::PrintToString(arguments);
    return parsed.options;
}

std::string errorOf(const Args& arguments)
{
    return parseConvertOptions(arguments).error;
}

} // namespace

TEST(ConvertOptions, LongAndShortFormsWithTheirValues)
{
    ConvertOptions options = parsedOk({ "-o", "out", "--jobs=3", "--json", "r.json", "in", "-aqn", "b.xml" });
    EXPECT_EQ(options.paths, (Args { "in", "b.xml" }));
    EXPECT_EQ(options.outputFolder, "out");
    EXPECT_EQ(options.jobs, 3u);
    EXPECT_EQ(options.jsonFile, "r.json");
    EXPECT_TRUE(options.allFiles);
    EXPECT_TRUE(options.noClobber);
    EXPECT_EQ(options.verbosity, Verbosity::Quiet);

    // Attached values, the last of quiet and verbose wins, "--" ends the options, a lone "-" is a path.
    options = parsedOk({ "-j12", "-oout dir", "-q", "--verbose", "--", "-x.xml", "-" });
    EXPECT_EQ(options.jobs, 12u);
    EXPECT_EQ(options.outputFolder, "out dir");
    EXPECT_EQ(options.verbosity, Verbosity::Verbose);
    EXPECT_EQ(options.paths, (Args { "-x.xml", "-" }));
    EXPECT_EQ(options.jobs, 12u);

    // Without -j the number of cores is decided later; help and version need no path.
    EXPECT_EQ(parsedOk({ "a" }).jobs, 0u);
    EXPECT_TRUE(parsedOk({ "--help" }).help);
    EXPECT_TRUE(parsedOk({ "-V" }).version);
}

TEST(ConvertOptions, UnusableCommandLinesSayWhy)
{
    EXPECT_EQ(errorOf({}), "no file or folder to convert");
    EXPECT_EQ(errorOf({ "-q" }), "no file or folder to convert");
    EXPECT_EQ(errorOf({ "--bogus", "a" }), "unknown option --bogus");
    EXPECT_EQ(errorOf({ "-x", "a" }), "unknown option -x");
    EXPECT_EQ(errorOf({ "a", "-o" }), "option -o needs a value");
    EXPECT_EQ(errorOf({ "a", "--json" }), "option --json needs a value");
    EXPECT_EQ(errorOf({ "--quiet=yes", "a" }), "option --quiet takes no value");
    EXPECT_EQ(errorOf({ "-o", "", "a" }), "the output folder (-o) must not be empty");
    for (const char* jobs : { "0", "-1", "2x", "", "257", "99999999999" })
        EXPECT_EQ(errorOf({ "-j", jobs, "a" }),
            std::string("the number of jobs (-j) must be a whole number from 1 to 256, not \"") + jobs + "\"");
}

TEST(ConvertReport, NamesThatAreNotUtf8AreEscapedLosslesslyAndMarked)
{
    bool escaped = true;
    EXPECT_EQ(jsonString("caf\xC3\xA9 \"q\" a\\b\n\x01", escaped), "\"caf\xC3\xA9 \\\"q\\\" a\\\\b\\n\\u0001\"");
    EXPECT_FALSE(escaped);
    // A Latin-1 e-acute: one byte that is no UTF-8; the backslash is doubled so "\x" in a name stays itself.
    EXPECT_EQ(jsonString("caf\xE9\\xE9.xml", escaped), "\"caf\\\\xE9\\\\\\\\xE9.xml\"");
    EXPECT_TRUE(escaped);

    ConvertJob job { "in/caf\xE9.xml", "out/caf\xE9.pdf", {} };
    FileResult result { FileStatus::Converted, 2, 1234, 5.25, {}, { "Shift_JIS", EncodingChoice::Source::Detection } };
    EXPECT_EQ(jsonRecord(job, result),
        "{\"source\":\"in/caf\\\\xE9.xml\",\"source_escaped\":true,\"target\":\"out/caf\\\\xE9.pdf\","
        "\"target_escaped\":true,\"status\":\"converted\",\"pages\":2,\"bytes\":1234,\"milliseconds\":5.2,"
        "\"encoding\":\"Shift_JIS\",\"encoding_from\":\"detection\",\"error\":null}");
    job = { "a.xml", "a.pdf", {} };
    result = { FileStatus::Failed, 0, 0, 0.04, "is not a regular file", {} };
    EXPECT_EQ(jsonRecord(job, result),
        "{\"source\":\"a.xml\",\"target\":\"a.pdf\",\"status\":\"failed\",\"pages\":null,\"bytes\":null,"
        "\"milliseconds\":0.0,\"encoding\":null,\"encoding_from\":null,\"error\":\"is not a regular file\"}");
}

TEST(ConvertReport, MessagesShowAnyNameOnOneLine)
{
    EXPECT_EQ(displayName("in/a b.xml"), "\"in/a b.xml\"");
    EXPECT_EQ(displayName("two\nlines\t\"q\"\\.xml"), "\"two\\nlines\\t\\\"q\\\"\\\\.xml\"");
    EXPECT_EQ(displayName("caf\xE9\x1B[2J\xC3\xA9"), "\"caf\\xE9\\x1B[2J\xC3\xA9\"");
}
