#include "print/PdfWriter.h"

#include "print/ByteSink.h"
#include "print/ByteSource.h"
#include "print/TextPrinter.h"
#include "tests/support/MemorySink.h"
#include "tests/support/OrdinaryUser.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <memory>
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

} // namespace

TEST(PdfWriter, ManyDocumentsAtOnceShareABoundedSetOfThreads)
{
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
