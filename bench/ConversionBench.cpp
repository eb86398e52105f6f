// The conversion benchmark's program: converts every file of a folder (in name order) with the real conversion
// run, registry, printers, ShellAndWait and padprint, into an output folder, and prints the time per file, and
// what the run kept of the program's resources: memory, open descriptors and child processes.
//
//   conversion-bench SOURCES OUTPUT
#include "conversion/ConversionRun.h"
#include "conversion/ListedSources.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "runtime/MessageBoxes.h"
#include "runtime/RuntimeError.h"
#include "runtime/Yielder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

// The program's resident memory, from /proc/self/status.
long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

std::size_t openDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& fd : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count - 1; // the listing's own
}

// Child processes of this program, zombies included.
std::size_t childProcesses()
{
    const std::string self = std::to_string(::getpid());
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos)
            continue;
        // ") STATE PPID ..."
        const std::size_t parent = text.find(' ', close + 2);
        if (parent != std::string::npos && text.compare(parent + 1, self.size() + 1, self + " ") == 0)
            ++count;
    }
    return count;
}

// No window: a yield has nothing to handle and a pause only waits, as a window with no events pending would.
class WaitingYielder : public Yielder
{
public:
    void yield() override { }
    void pause(std::chrono::milliseconds duration) override
    {
        std::this_thread::sleep_for(duration);
    }
    bool stopRequested() const override
    {
        return false;
    }
};

class RecordedMessages : public MessageBoxes
{
public:
    MessageAnswer show(const Message& message) override
    {
        texts.push_back(message.text);
        return MessageAnswer::Ok;
    }
    std::vector<std::string> texts;
};

// A window whose list holds the files and whose Option1 points at the output folder.
class BenchHost : public ConversionHost
{
public:
    BenchHost(std::vector<std::string> entries, std::string folder)
        : m_entries(std::move(entries))
        , m_folder(std::move(folder))
    {
        for (const std::string& entry : m_entries)
            m_sources.add(entry);
    }
    std::size_t entryCount() const override
    {
        return m_entries.size();
    }
    std::string entryText(std::size_t position) const override
    {
        if (position < 1 || position > m_entries.size())
            throw RuntimeError(err::kIndexOutOfBounds);
        return m_entries[position - 1];
    }
    bool outputToFolder() const override
    {
        return true;
    }
    bool outputBesideSource() const override
    {
        return false;
    }
    std::string outputFolder() const override
    {
        return m_folder;
    }
    void setMousePointer(int) override { }
    void setProgressValue(double) override { }
    void setProgressText(const std::string& text) override
    {
        // Memory once the first hundred files are done: what the run has warmed up by then is not growth.
        if (text.rfind("Processing: ", 0) == 0 && ++m_started == kWarmUpFiles + 1)
            m_warmKb = residentKb();
    }
    long warmKb() const
    {
        return m_warmKb;
    }
    MessageBoxes& messages() override
    {
        return m_messages;
    }
    Yielder& yielder() override
    {
        return m_yielder;
    }
    ListedSources& listedSources() override
    {
        return m_sources; // the benchmark's list never changes
    }
    const std::vector<std::string>& shown() const
    {
        return m_messages.texts;
    }

private:
    std::vector<std::string> m_entries;
    ListedSources m_sources;
    std::string m_folder;
    RecordedMessages m_messages;
    WaitingYielder m_yielder;
    static constexpr std::size_t kWarmUpFiles = 100;
    std::size_t m_started = 0;
    long m_warmKb = -1;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: conversion-bench SOURCES OUTPUT\n");
        return 2;
    }
    std::vector<std::string> entries;
    for (const auto& item : fs::directory_iterator(argv[1]))
        entries.push_back(item.path().string());
    std::sort(entries.begin(), entries.end());
    if (entries.empty()) {
        std::fprintf(stderr, "no files in %s\n", argv[1]);
        return 1;
    }

    auto registry = openUserRegistry();
    auto printers = openPrinterSystem();
    ConversionRun conversion(ConversionServices { *registry, *printers, ShellAndWait, tryAcquireRunLock });
    BenchHost host(entries, argv[2]);

    // The list is in memory before the first figure: growth beyond it is the run's.
    std::size_t listBytes = 0;
    for (const std::string& entry : entries)
        listBytes += sizeof entry + entry.capacity();
    const long rssBefore = residentKb();
    const std::size_t fdsBefore = openDescriptors();
    const auto start = std::chrono::steady_clock::now();
    conversion.run(host);
    const auto end = std::chrono::steady_clock::now();
    const long rssAfter = residentKb();
    const std::size_t fdsAfter = openDescriptors();
    const std::size_t childrenLeft = childProcesses();

    // A run with failures still gives its time; the script reports them and fails.
    const bool allConverted = host.shown() == std::vector<std::string> { "Done." };
    if (!allConverted) {
        for (const std::string& text : host.shown())
            std::fprintf(stderr, "%s\n", text.c_str());
    }
    const double total = std::chrono::duration<double, std::milli>(end - start).count();
    std::printf("files %zu\ntotal_ms %.1f\nper_file_ms %.1f\n", entries.size(), total,
        total / static_cast<double>(entries.size()));
    std::printf("list_kb %.1f\n", static_cast<double>(listBytes) / 1024.0);
    std::printf("rss_before_kb %ld\nrss_warm_kb %ld\nrss_after_kb %ld\n", rssBefore, host.warmKb(), rssAfter);
    std::printf("fds_before %zu\nfds_after %zu\nchildren_left %zu\n", fdsBefore, fdsAfter, childrenLeft);
    return allConverted ? 0 : 3;
}
