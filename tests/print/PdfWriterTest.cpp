#include "print/PdfWriter.h"

#include "print/ByteSink.h"
#include "print/ByteSource.h"
#include "print/PdfFont.h"
#include "print/TextPrinter.h"
#include "tests/support/MemorySink.h"
#include "tests/support/OrdinaryUser.h"
#include "text/Utf8.h"

#include <cstdio>
#include <dirent.h>
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <vector>

using namespace papyrant;
using papyrant::test::MemorySink;

namespace {

int threadCount()
{
    int count = 0;
    if (DIR* tasks = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(tasks))
            count += entry->d_name[0] != '.';
        ::closedir(tasks);
    }
    return count;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The bytes of a literal string's body as a reader takes them: escapes undone, a bare line end (CR, LF or CR LF)
// one LF.
std::string literalStringBytes(const std::string& body)
{
    std::string bytes;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\' && i + 1 < body.size()) {
            const char e = body[++i];
            bytes.push_back(e == 'n' ? '\n'
                    : e == 'r'       ? '\r'
                    : e == 't'       ? '\t'
                    : e == 'b'       ? '\b'
                    : e == 'f'       ? '\f'
                                     : e);
        } else if (c == '\r') {
            bytes.push_back('\n');
            i += i + 1 < body.size() && body[i + 1] == '\n';
        } else {
            bytes.push_back(c);
        }
    }
    return bytes;
}

// The dictionary and the (inflated) stream data of object `number` of a PDF written without object streams.
std::pair<std::string, std::string> objectOf(const std::string& pdf, int number)
{
    const std::string header = "\n" + std::to_string(number) + " 0 obj\n";
    const std::size_t at = pdf.find(header);
    if (at == std::string::npos)
        return {};
    const std::size_t begin = at + header.size();
    const std::size_t end = pdf.find("\nendobj", begin);
    const std::string body = pdf.substr(begin, end - begin);
    const std::size_t stream = body.find(">>\nstream\n");
    if (stream == std::string::npos)
        return { body, "" };
    std::string data = body.substr(stream + 10, body.rfind("\nendstream") - stream - 10);
    if (body.find("/FlateDecode") < stream) {
        std::string inflated(1 << 20, '\0');
        std::size_t actual = 0;
        libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
        const bool ok
            = libdeflate_zlib_decompress(inflater, data.data(), data.size(), inflated.data(), inflated.size(), &actual)
            == LIBDEFLATE_SUCCESS;
        libdeflate_free_decompressor(inflater);
        inflated.resize(ok ? actual : 0);
        data = inflated;
    }
    return { body.substr(0, stream + 2), data };
}

int referenceAfter(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find(key);
    return at == std::string::npos ? 0 : std::stoi(text.substr(at + key.size()));
}

// UTF-16BE as hex digits, as UTF-8.
std::string utf8FromUtf16Hex(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
        char32_t unit = static_cast<char32_t>(std::stoul(hex.substr(i, 4), nullptr, 16));
        if (unit >= 0xD800 && unit < 0xDC00 && i + 8 <= hex.size()) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (std::stoul(hex.substr(i + 4, 4), nullptr, 16) - 0xDC00);
            i += 4;
        }
        utf8::append(out, unit);
    }
    return out;
}

} // namespace

TEST(PdfWriter, ManyDocumentsAtOnceShareABoundedSetOfThreads)
{
    // A thread started and ended first, so that a helper thread the runtime starts with the first one (as
    // ThreadSanitizer does) is not counted as the writers'.
    std::thread([] {}).join();
    const int before = threadCount();
    constexpr int kDocuments = 64;
    std::vector<MemorySink> sinks(kDocuments);
    std::vector<std::unique_ptr<PdfWriter>> writers;
    for (MemorySink& sink : sinks) {
        writers.push_back(std::make_unique<PdfWriter>(sink));
        const int catalog = writers.back()->reserve();
        writers.back()->writeObject(catalog, "<</Type/Catalog>>");
        writers.back()->writeStream(writers.back()->reserve(), "", std::string(100000, 'x'));
    }
    const int bound = static_cast<int>(std::max(2u, std::thread::hardware_concurrency()));
    EXPECT_LE(threadCount() - before, bound);
    for (std::size_t i = 0; i < writers.size(); ++i) {
        ASSERT_TRUE(writers[i]->finish(1, "")) << writers[i]->problem();
        EXPECT_TRUE(sinks[i].bytes.starts_with("%PDF-1.7\n"));
        EXPECT_NE(sinks[i].bytes.find("/Filter/FlateDecode"), std::string::npos);
        EXPECT_TRUE(endsWith(sinks[i].bytes, "%%EOF\n"));
    }
}

// Streams come faster than one worker compresses them, so that two compress at once (as on a machine of more
// than two cores): the file still holds every object once, in the order written, where the cross-reference
// table says, with its own data.
TEST(PdfWriter, StreamsCompressedAtOnceAreWrittenInOrderWhereTheTableSays)
{
    MemorySink sink;
    std::vector<std::string> streams;
    std::vector<int> streamNumbers;
    {
        PdfWriter writer(sink, 2);
        const int catalog = writer.reserve();
        for (int i = 0; i < 300; ++i) {
            std::string data;
            for (int row = 0; data.size() < 30000; ++row)
                data += "stream " + std::to_string(i) + " row " + std::to_string(row * 7919 % 10007) + "\n";
            streams.push_back(data);
            streamNumbers.push_back(writer.reserve());
            writer.writeStream(streamNumbers.back(), "", std::move(data),
                i % 3 == 0 ? PdfWriter::Compression::Fast : PdfWriter::Compression::Dense);
            if (i % 10 == 0)
                writer.writeObject(writer.reserve(), "<</Marker " + std::to_string(i) + ">>");
        }
        writer.writeObject(catalog, "<</Type/Catalog>>");
        ASSERT_TRUE(writer.finish(catalog, "")) << writer.problem();
    }
    const std::string& pdf = sink.bytes;
    const std::size_t xref = pdf.rfind("\nxref\n");
    ASSERT_NE(xref, std::string::npos);
    std::vector<std::size_t> offsets;
    const std::regex entry("([0-9]{10}) 00000 n ");
    for (auto it = std::sregex_iterator(pdf.begin() + static_cast<std::ptrdiff_t>(xref), pdf.end(), entry);
         it != std::sregex_iterator(); ++it)
        offsets.push_back(std::stoull((*it)[1].str()));
    ASSERT_EQ(offsets.size(), 1 + 300 + 30u);
    // Object 1 is the catalog, written last; the rest were numbered in the order they were written.
    EXPECT_EQ(pdf.compare(offsets[0], 7, "1 0 obj"), 0);
    for (std::size_t number = 2; number <= offsets.size(); ++number) {
        const std::size_t at = offsets[number - 1];
        EXPECT_EQ(pdf.compare(at, std::to_string(number).size() + 6, std::to_string(number) + " 0 obj"), 0) << number;
        if (number > 2) {
            EXPECT_GT(at, offsets[number - 2]) << number;
        }
    }
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::size_t object = offsets[static_cast<std::size_t>(streamNumbers[i]) - 1];
        const std::size_t length = pdf.find("/Length ", object);
        const std::size_t at = pdf.find(">>\nstream\n", object);
        ASSERT_LT(length, at);
        std::string data(40000, '\0');
        std::size_t actual = 0;
        ASSERT_EQ(libdeflate_zlib_decompress(inflater, pdf.data() + at + 10, std::stoull(pdf.substr(length + 8, 12)),
                      data.data(), data.size(), &actual),
            LIBDEFLATE_SUCCESS)
            << "stream " << i;
        data.resize(actual);
        EXPECT_EQ(data, streams[i]) << "stream " << i;
    }
    libdeflate_free_decompressor(inflater);
}

TEST(PdfWriter, WithoutThreadsToBeHadTheDocumentIsWrittenOnTheCallersThread)
{
    // An ordinary user at the limit of processes cannot start a thread (root is not bound by the limit).
    EXPECT_TRUE(test::runAsOrdinaryUser([] {
        const rlimit none { 0, 0 };
        ASSERT_EQ(::setrlimit(RLIMIT_NPROC, &none), 0);
        EXPECT_THROW(std::thread([] {}).join(), std::system_error);
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += "line " + std::to_string(i) + " שלום עולם\n";
        MemoryByteSource source(text);
        MemorySink sink;
        const PrintOutcome outcome = printText(source, sink, PrintJob {});
        EXPECT_EQ(outcome.problem, "");
        EXPECT_GT(outcome.pages, 1);
        EXPECT_TRUE(endsWith(sink.bytes, "%%EOF\n"));
    }));
}

TEST(PdfDocument, InformationGivesDatesProducerAndIdentifierAndAnEmptyPrintOutEmbedsNoFont)
{
    auto print = [](const std::string& text) {
        MemoryByteSource source(text);
        MemorySink sink;
        const PrintOutcome outcome = printText(source, sink, PrintJob { kPaperA4, "t.xml", "C.UTF-8", "padprint" });
        EXPECT_EQ(outcome.problem, "");
        return sink.bytes;
    };
    const std::string empty = print("");
    for (const char* entry : { "/CreationDate(D:20", "/ModDate(D:20", "/Producer(Papyrant 1.",
             "/Creator<FEFF007000610064007000720069006E0074>" })
        EXPECT_NE(empty.find(entry), std::string::npos) << entry;
    const std::size_t trailer = empty.rfind("trailer");
    ASSERT_NE(trailer, std::string::npos);
    EXPECT_NE(empty.find("/ID[<", trailer), std::string::npos);
    EXPECT_EQ(empty.find("/FontFile2"), std::string::npos);
    EXPECT_NE(print("a\n").find("/FontFile2"), std::string::npos);
}

TEST(PdfFont, GlyphCodesAreWrittenWithoutBareLineEndsAndReadBackWhole)
{
    // Every code, and codes whose bytes make line ends in a row (0A0A, 000A then 0A01, 0D0A): a reader that
    // folds two line ends into one lost a glyph and shifted the codes after it.
    std::vector<std::uint16_t> codes;
    for (unsigned code = 0; code <= 0xFFFF; ++code)
        codes.push_back(static_cast<std::uint16_t>(code));
    for (std::uint16_t code : { 0x0A0A, 0x000A, 0x0A01, 0x0D0A, 0x0A0D, 0x000D, 0x0A00 })
        codes.push_back(code);
    std::string body;
    PdfFont::appendCodes(body, codes.data(), codes.size());
    std::string one;
    PdfFont::appendCode(one, 0x0A0A);
    EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(one.find_first_of("\r\n"), std::string::npos);
    const std::string bytes = literalStringBytes(body);
    ASSERT_EQ(bytes.size(), 2 * codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i)
        ASSERT_EQ(
            (static_cast<unsigned char>(bytes[2 * i]) << 8) | static_cast<unsigned char>(bytes[2 * i + 1]), codes[i])
            << "code " << i;
    EXPECT_EQ(literalStringBytes(one), std::string("\n\n"));
}

// Some readers garble a code whose ToUnicode entry is several characters, and a conjunct drawn as one glyph stands
// for three. Every entry of every font is one character (a surrogate pair past U+FFFF), and the codes drawn, each
// read through its font's ToUnicode map as a reader does, give the text back with each character once.
TEST(PdfFont, EveryCodeCopiesBackAsOneCharacterAndConjunctsCopyBackWhole)
{
    const std::vector<std::string> lines = { "\u0915\u094D\u0937\u0924\u094D\u0930\u093F\u092F "
                                             "\u0928\u092E\u0938\u094D\u0924\u0947",
        "\u0BA4\u0BAE\u0BBF\u0BB4\u0BCD \u0B95\u0BCD\u0BB7",
        "\u0986\u09AE\u09BF \u09AC\u09BE\u0982\u09B2\u09BE\u09AF\u09BC" };
    std::string text;
    std::string expected;
    for (const std::string& line : lines) {
        text += line + "\n";
        expected += line;
    }
    MemoryByteSource source(text);
    MemorySink sink;
    ASSERT_EQ(printText(source, sink, PrintJob {}).problem, "");
    const std::string& pdf = sink.bytes;

    // Resource name -> code -> text.
    std::map<std::string, std::map<std::string, std::string>> fonts;
    const std::regex fontEntry("/(F[0-9]+) ([0-9]+) 0 R");
    const std::regex mapEntry("<([0-9A-F]{4})><([0-9A-F]*)>");
    const std::string resources = objectOf(pdf, referenceAfter(pdf, "/Resources ")).first;
    for (auto it = std::sregex_iterator(resources.begin(), resources.end(), fontEntry); it != std::sregex_iterator();
         ++it) {
        const std::string font = objectOf(pdf, std::stoi((*it)[2].str())).first;
        const std::string cmap = objectOf(pdf, referenceAfter(font, "/ToUnicode ")).second;
        auto& codes = fonts[(*it)[1].str()];
        for (auto entry = std::sregex_iterator(cmap.begin(), cmap.end(), mapEntry); entry != std::sregex_iterator();
             ++entry) {
            const std::string units = (*entry)[2].str();
            const bool pair = units.size() == 8 && units[0] == 'D' && units[1] >= '8' && units[1] <= 'B';
            EXPECT_TRUE(units.size() == 4 || pair)
                << (*it)[1] << " code " << (*entry)[1] << " copies back as " << units;
            codes[(*entry)[1].str()] = utf8FromUtf16Hex(units);
        }
    }
    ASSERT_FALSE(fonts.empty());

    // The content: fonts chosen with Tf, codes in the literal strings of TJ arrays; the strings of a span's
    // marked content are not codes.
    const std::string content = objectOf(pdf, referenceAfter(pdf, "/Contents ")).second;
    std::string font;
    std::string given;
    bool inArray = false;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '/' && content.compare(content.find('\n', i) - 3, 3, " Tf") == 0) {
            font = content.substr(i + 1, content.find(' ', i) - i - 1);
        } else if (c == '[') {
            inArray = true;
        } else if (c == ']') {
            inArray = false;
        } else if (c == '(') {
            std::size_t close = i + 1;
            while (close < content.size() && content[close] != ')')
                close += content[close] == '\\' ? 2 : 1;
            if (inArray) {
                const std::string bytes = literalStringBytes(content.substr(i + 1, close - i - 1));
                for (std::size_t b = 0; b + 1 < bytes.size(); b += 2) {
                    char code[5];
                    std::snprintf(code, sizeof code, "%02X%02X", static_cast<unsigned char>(bytes[b]),
                        static_cast<unsigned char>(bytes[b + 1]));
                    given += fonts[font][code];
                }
            }
            i = close;
        }
    }
    EXPECT_EQ(given, expected);
}
