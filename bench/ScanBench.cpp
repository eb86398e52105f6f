// The folder scan benchmark's program: builds the generated tree and times "Add All XML File(s) In Folder" from
// pick to last entry, with the longest stretch between two yields.
//
//   scan-bench generate TREE FOLDERS FILES
//   scan-bench measure TREE RUNS
#include "filelist/AddTreeFiles.h"
#include "filelist/FolderScan.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MessageBoxes.h"
#include "runtime/Yielder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace papyrant;
using Clock = std::chrono::steady_clock;

namespace {

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Remembers the longest time between two yields (and from the start to the first).
class GapYielder : public Yielder
{
public:
    void start()
    {
        m_last = Clock::now();
    }
    void yield() override
    {
        const auto now = Clock::now();
        m_longest = std::max(m_longest, millisecondsBetween(m_last, now));
        m_last = now;
        ++m_count;
    }
    void pause(std::chrono::milliseconds) override
    {
        yield();
    }
    bool stopRequested() const override
    {
        return false;
    }
    // Closes the stretch that ends when the scan returns.
    void finish()
    {
        yield();
    }
    double longest() const
    {
        return m_longest;
    }
    long count() const
    {
        return m_count;
    }

private:
    Clock::time_point m_last = Clock::now();
    double m_longest = 0;
    long m_count = 0;
};

class CountingMessageBoxes : public MessageBoxes
{
public:
    MessageAnswer show(const Message& message) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", message.text.c_str());
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

// Folder i (1 to count) hangs below folder (i - 1) / 8, so the tree is about five levels deep; each folder gets
// its share of the files, a third of them XML (every fourth of those spelt .XML).
int generate(const std::string& tree, long folders, long files)
{
    std::vector<std::string> paths(static_cast<std::size_t>(folders) + 1);
    paths[0] = tree;
    if (::mkdir(tree.c_str(), 0755) != 0) {
        std::perror(tree.c_str());
        return 1;
    }
    for (long i = 1; i <= folders; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, i % 5 == 0 ? "/Folder %05ld" : "/dir%05ld", i);
        paths[static_cast<std::size_t>(i)] = paths[static_cast<std::size_t>((i - 1) / 8)] + name;
        if (::mkdir(paths[static_cast<std::size_t>(i)].c_str(), 0755) != 0) {
            std::perror(paths[static_cast<std::size_t>(i)].c_str());
            return 1;
        }
    }
    static const char* const kOther[] = { ".txt", ".dat", ".xml.bak", ".pdf" };
    for (long k = 0; k < files; ++k) {
        const std::string& folder = paths[static_cast<std::size_t>(k % (folders + 1))];
        const char* extension = k % 3 == 0 ? (k % 4 == 0 ? ".XML" : ".xml") : kOther[k % 4];
        char name[48];
        std::snprintf(name, sizeof name, "/file%06ld%s", k, extension);
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, "<a/>\n", 5) != 5) {
            std::perror(path.c_str());
            return 1;
        }
        ::close(fd);
    }
    return 0;
}

int measure(const std::string& tree, int runs)
{
    std::vector<double> times;
    std::vector<double> addTimes;
    double longestGap = 0;
    std::size_t entries = 0;
    long yields = 0;
    for (int run = 0; run < runs; ++run) {
        CountingMessageBoxes messages;
        GapYielder yielder;
        std::vector<std::string> added;
        const auto begin = Clock::now();
        yielder.start();
        FolderList folders { tree + "/" };
        ScanContext context(messages, yielder);
        GetSubDirectories2016(folders, true, context);
        yielder.finish();
        const auto scanned = Clock::now();
        GuardedCommand cmd(messages, "Orvantis2021/08/31.Form1.PushButton4_Click");
        AddTreeFiles(
            folders, "*.xml", [&](std::string entry) { added.push_back(std::move(entry)); }, cmd);
        const auto end = Clock::now();
        times.push_back(millisecondsBetween(begin, end));
        addTimes.push_back(millisecondsBetween(scanned, end));
        longestGap = std::max(longestGap, yielder.longest());
        entries = added.size();
        yields = yielder.count();
        if (messages.shown)
            return 1;
    }
    std::sort(times.begin(), times.end());
    std::sort(addTimes.begin(), addTimes.end());
    // AddTreeFiles does not yield: its whole time is one stretch without a yield after the scan.
    std::printf("entries %zu\nyields %ld\nmedian_ms %.1f\nmax_yield_gap_ms %.2f\nadd_tree_files_ms %.1f\n", entries,
        yields, times[times.size() / 2], longestGap, addTimes[addTimes.size() / 2]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "generate")
        return generate(args[1], std::atol(args[2].c_str()), std::atol(args[3].c_str()));
    if (args.size() == 3 && args[0] == "measure")
        return measure(args[1], std::max(1, std::atoi(args[2].c_str())));
    std::fprintf(stderr, "usage: scan-bench generate TREE FOLDERS FILES | measure TREE RUNS\n");
    return 2;
}
