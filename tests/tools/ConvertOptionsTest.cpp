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

TEST(ConvertOptions, PrintOptionsFillThePrintStyleAndTheDefaultsStayThePlainPrintOut)
{
    const PrintStyle plain = parsedOk({ "a" }).style;
    EXPECT_FALSE(plain.paper.has_value());
    EXPECT_FALSE(plain.landscape || plain.lineNumbers || plain.header || plain.xmlPretty || plain.xmlColour);
    EXPECT_EQ(plain.fontSize, 10.0);
    EXPECT_EQ(plain.foldBase64, 0u);
    EXPECT_FALSE(parsedOk({ "a" }).mergeFile.has_value());

    ConvertOptions options = parsedOk({ "--line-numbers", "--header", "--xml=colour,pretty", "--fold-base64", "256",
        "--paper=Legal", "--landscape", "--font-size=7.5", "--merge", "out/all.PDF", "a" });
    const PrintStyle& style = options.style;
    EXPECT_TRUE(style.lineNumbers && style.header && style.xmlPretty && style.xmlColour && style.landscape);
    EXPECT_EQ(style.foldBase64, 256u);
    ASSERT_TRUE(style.paper.has_value());
    EXPECT_EQ(style.paper->width, 612.0);
    EXPECT_EQ(style.paper->height, 1008.0); // US legal: 8.5 by 14 inches
    EXPECT_EQ(style.fontSize, 7.5);
    EXPECT_EQ(options.mergeFile, "out/all.PDF");
    EXPECT_EQ(options.paths, (Args { "a" }));

    // Each view alone, and the other order; the sizes at both ends of the range.
    options = parsedOk({ "--xml=pretty", "--paper=letter", "--font-size=24", "a" });
    EXPECT_TRUE(options.style.xmlPretty);
    EXPECT_FALSE(options.style.xmlColour);
    EXPECT_EQ(options.style.paper->height, 792.0);
    EXPECT_EQ(options.style.fontSize, 24.0);
    options = parsedOk({ "--xml", "colour", "--paper", "a4", "--font-size", "6", "a" });
    EXPECT_FALSE(options.style.xmlPretty);
    EXPECT_TRUE(options.style.xmlColour);
    EXPECT_NEAR(options.style.paper->width, 595.28, 0.01);
    EXPECT_EQ(options.style.fontSize, 6.0);
    EXPECT_TRUE(parsedOk({ "--xml=pretty,colour", "a" }).style.xmlColour);
}

TEST(ConvertOptions, UnusablePrintOptionsAndMergesSayWhy)
{
    for (const char* size : { "5.9", "24.5", "0", "-10", "ten", "", "12pt", "1e1", "nan", "inf" })
        EXPECT_EQ(errorOf({ std::string("--font-size=") + size, "a" }),
            std::string("the font size (--font-size) must be a number of points from 6 to 24, not \"") + size + "\"");
    for (const char* fold : { "255", "0", "-300", "300x", "", "99999999999999999999999" })
        EXPECT_EQ(errorOf({ std::string("--fold-base64=") + fold, "a" }),
            std::string("the base64 fold (--fold-base64) must be a whole number of characters from 256 up, not \"")
                + fold + "\"");
    for (const char* view : { "color", "pretty,pretty", "colour,", ",colour", "pretty,colour,pretty", "" })
        EXPECT_EQ(errorOf({ std::string("--xml=") + view, "a" }),
            std::string("the XML view (--xml) is pretty, colour or pretty,colour, not \"") + view + "\"");
    for (const char* paper : { "a3", "", "tabloid" })
        EXPECT_EQ(errorOf({ std::string("--paper=") + paper, "a" }),
            std::string("the paper (--paper) is a4, letter or legal, not \"") + paper + "\"");
    EXPECT_EQ(errorOf({ "--landscape=yes", "a" }), "option --landscape takes no value");
    EXPECT_EQ(errorOf({ "a", "--merge" }), "option --merge needs a value");

    // The shell's *.xml after --merge must not make a source the merged PDF.
    for (const char* merged : { "a.xml", "out/", ".pdf", "dir/.pdf", "" })
        EXPECT_EQ(errorOf({ "--merge", merged, "b.xml" }),
            std::string("the merged PDF (--merge) must be a file name ending in .pdf, not \"") + merged + "\"");
    EXPECT_EQ(errorOf({ "--merge=all.pdf", "-o", "out", "a" }),
        "--merge and -o cannot be given together: the merged PDF is the only PDF written");
    EXPECT_EQ(errorOf({ "-n", "--merge=all.pdf", "a" }),
        "--merge takes no --no-clobber: the merged PDF is written whole or not at all");
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

    // A merged PDF's records say where each file begins in it.
    job = { "b.xml", "all.pdf", {} };
    EXPECT_EQ(jsonRecord(job, result, true),
        "{\"source\":\"b.xml\",\"target\":\"all.pdf\",\"status\":\"failed\",\"pages\":null,\"first_page\":null,"
        "\"bytes\":null,\"milliseconds\":0.0,\"encoding\":null,\"encoding_from\":null,\"error\":\"is not a regular "
        "file\"}");
    result = { FileStatus::Converted, 3, 9000, 1.0, {}, { "UTF-8", EncodingChoice::Source::Mark }, 12 };
    EXPECT_TRUE(jsonRecord(job, result, true)
                    .starts_with("{\"source\":\"b.xml\",\"target\":\"all.pdf\","
                                 "\"status\":\"converted\",\"pages\":3,\"first_page\":12,\"bytes\":9000,"));
}

TEST(ConvertReport, MessagesShowAnyNameOnOneLine)
{
    EXPECT_EQ(displayName("in/a b.xml"), "\"in/a b.xml\"");
    EXPECT_EQ(displayName("two\nlines\t\"q\"\\.xml"), "\"two\\nlines\\t\\\"q\\\"\\\\.xml\"");
    EXPECT_EQ(displayName("caf\xE9\x1B[2J\xC3\xA9"), "\"caf\\xE9\\x1B[2J\xC3\xA9\"");
}
