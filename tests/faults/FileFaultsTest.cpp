// Runs in which the files break under the program: folders vanish or refuse writing, the disk fills, the word pad
// is killed, sources are not what the list says. Each run must end, name the files that failed, leave no
// half-written PDF, put the user's printer back, and leave the program able to convert again.
#include "conversion/PdfPrinter.h"
#include "platform/PdfPrinterProtocol.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/WordPad.h"
#include "tests/faults/ChildScene.h"
#include "tests/faults/FaultScene.h"
#include "text/CommandLine.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

// Whether a process has a file open in the folder (padprint's PDF, before it gets its name).
bool hasFileOpenIn(pid_t pid, const fs::path& folder)
{
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const fs::path target = fs::read_symlink(fd.path(), error);
        if (!error && target.parent_path() == folder)
            return true;
    }
    return false;
}

// A process's command line, its arguments joined by NULs; empty once it is gone.
std::string commandLineOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void registerWordPad(const std::string& command)
{
    const std::unique_ptr<Registry> registry = openUserRegistry();
    ASSERT_TRUE(registry->writeStrings(RegistryHive::ClassesRoot, kWordPadServerKey, { { "", command } }));
}

TEST(FileFaults, OutputFolderRemovedMidRunFailsTheRestAndTheNextRunConverts)
{
    FaultScene scene;
    const fs::path a = scene.source("a.xml", "first");
    const fs::path b = scene.source("b.xml", "second");
    const fs::path c = scene.source("c.xml", "third");
    // The folder goes once the run has taken a's PDF and moved on to b (b's values are in the registry).
    const std::unique_ptr<Registry> registry = openUserRegistry();
    scene.duringRun = [&] {
        const std::optional<std::string> next
            = registry->readString(RegistryHive::CurrentUser, kPdfPrinterKey, kOutputFileValue);
        if (next == (scene.out() / "b.pdf").string() && fs::exists(scene.out()))
            fs::remove_all(scene.out());
    };
    EXPECT_EQ(scene.convert({ a, b, c }), Names { notConverted(3, { b, c }) });
    EXPECT_FALSE(fs::exists(scene.out())) << "nothing made the folder again";
    EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);

    scene.duringRun = nullptr;
    fs::create_directory(scene.out());
    EXPECT_EQ(scene.convert({ a, b, c }), Names { "Done." });
    scene.expectConverted({ a, b, c });
}

TEST(FileFaults, FullDiskFailsTheFilesThatDoNotFitAndLeavesNoPartOfThem)
{
    FaultScene scene;
    const fs::path small = scene.source("small.xml", "a short note");
    const fs::path big = scene.bigSource("big.xml", 20000); // a PDF of some 300 KB
    const fs::path last = scene.source("last.xml", "the last note");
    // The word pad's files may not grow past 64 KB, as on a disk with that much room left.
    registerWordPad(QuoteArgument((testDir() / "fsize-limited").string()) + " 65536 "
        + QuoteArgument((binDir() / "padprint").string()));
    EXPECT_EQ(scene.convert({ small, big, last }), Names { notConverted(3, { big }) });
    EXPECT_EQ(namesIn(scene.out()), (Names { "last.pdf", "small.pdf" }));
    scene.expectConverted({ small, last });
    EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);

    // Room again.
    registerWordPad(QuoteArgument((binDir() / "padprint").string()));
    EXPECT_EQ(scene.convert({ big }), Names { "Done." });
    EXPECT_EQ(namesIn(scene.out()), (Names { "big.pdf", "last.pdf", "small.pdf" }));
}

TEST(FileFaults, WordPadKilledMidJobFailsThatFileOnly)
{
    FaultScene scene;
    const fs::path before = scene.source("before.xml", "printed before");
    const fs::path big = scene.bigSource("big.xml", 150000); // some tenths of a second of printing
    const fs::path after = scene.source("after.xml", "printed after");
    // The word pad printing big.xml is killed once it holds a file in the output folder: the job has started and
    // the file is half-written. A thread watches for that without pause, apart from the run's own waiting.
    std::atomic<bool> killed = false;
    std::atomic<bool> ended = false;
    std::thread watcher([&] {
        while (!ended && !killed) {
            for (const pid_t child : childProcesses()) {
                if (commandLineOf(child).find("big.xml") != std::string::npos && hasFileOpenIn(child, scene.out())) {
                    ::kill(child, SIGKILL);
                    killed = true;
                }
            }
        }
    });
    const Names shown = scene.convert({ before, big, after });
    ended = true;
    watcher.join();
    EXPECT_EQ(shown, Names { notConverted(3, { big }) });
    EXPECT_TRUE(killed) << "the word pad ended before it could be killed mid-job";
    EXPECT_EQ(namesIn(scene.out()), (Names { "after.pdf", "before.pdf" }));
    scene.expectConverted({ before, after });
    EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);
    EXPECT_TRUE(childProcesses().empty());
}

TEST(FileFaults, ListedPathsThatAreNoLongerReadableFilesFailAndTheOthersConvert)
{
    FaultScene scene;
    const fs::path first = scene.source("first.xml", "the first good file");
    const fs::path deleted = scene.source("deleted.xml", "deleted after it was listed");
    const fs::path folder = scene.in() / "folder.xml";
    fs::create_directory(folder);
    const fs::path fifo = scene.in() / "fifo.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path loop = scene.in() / "loop.xml";
    fs::create_symlink("loop2.xml", loop);
    fs::create_symlink("loop.xml", scene.in() / "loop2.xml");
    const fs::path last = scene.source("last.xml", "the last good file");
    scene.duringRun = [&] { fs::remove(deleted); };

    EXPECT_EQ(scene.convert({ first, deleted, folder, fifo, loop, last }),
        Names { notConverted(6, { deleted, folder, fifo, loop }) });
    EXPECT_EQ(namesIn(scene.out()), (Names { "first.pdf", "last.pdf" }));
    scene.expectConverted({ first, last });
    EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);
}

// Root passes every permission check, so these run as an ordinary user.
TEST(FileFaults, UnreadableSourceAndReadOnlyOutputFolderFailWithoutHarm)
{
    ChildScene child(
        [] {
            FaultScene scene;
            const fs::path readable = scene.source("readable.xml", "a readable file");
            const fs::path secret = scene.source("secret.xml", "nobody may read this");
            fs::permissions(secret, fs::perms::none);

            fs::permissions(scene.out(), fs::perms::owner_read | fs::perms::owner_exec);
            EXPECT_EQ(scene.convert({ readable, secret }), Names { notConverted(2, { readable, secret }) });
            EXPECT_EQ(namesIn(scene.out()), Names {});
            EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);

            fs::permissions(scene.out(), fs::perms::owner_all);
            EXPECT_EQ(scene.convert({ readable, secret }), Names { notConverted(2, { secret }) });
            EXPECT_EQ(namesIn(scene.out()), Names { "readable.pdf" });
            scene.expectConverted({ readable });
            EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);
        },
        ChildScene::User::Ordinary);
    const ChildOutcome outcome = child.wait();
    ASSERT_TRUE(outcome.skipReason.empty()) << "permissions need an ordinary user: " << outcome.skipReason;
    EXPECT_TRUE(outcome.passed) << "see the failures above, from the child process";
}

} // namespace
