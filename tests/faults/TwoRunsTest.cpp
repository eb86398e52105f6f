// Two programs converting different folders at once through the same registry: one run waits for the other,
// so every PDF holds its own source and the user's printer is the default afterwards.
#include "platform/RunLock.h"
#include "tests/faults/ChildScene.h"
#include "tests/faults/FaultScene.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kWaitingText = "Waiting for another conversion to finish";

TEST(TwoRuns, ProgramsConvertingAtOnceEachGetTheirOwnPdfsAndThePrinterComesBack)
{
    FaultScene scene;
    std::vector<fs::path> sources[2];
    for (int program = 0; program < 2; ++program) {
        fs::create_directory(scene.root() / ("out" + std::to_string(program)));
        // The same names in both folders, so that a PDF in the wrong place would replace another.
        for (int file = 0; file < 4; ++file) {
            sources[program].push_back(scene.source(std::to_string(program) + "/report" + std::to_string(file) + ".xml",
                "file " + std::to_string(file) + " of program " + std::to_string(program)));
        }
    }
    const auto folderOf = [&](int program) { return scene.root() / ("out" + std::to_string(program)); };

    const auto mark = [&](const std::string& name) { return scene.root() / name; };
    const auto waitFor = [&](const std::vector<std::string>& names) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const auto all = [&] {
            return std::all_of(
                names.begin(), names.end(), [&](const std::string& name) { return fs::exists(mark(name)); });
        };
        while (!all() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return all();
    };

    // Both start while a third program holds the printer, so both are seen waiting; then they race for it. (A
    // process of its own: a lock held here would be inherited by the forked programs.)
    ChildScene third([&] {
        const std::unique_ptr<RunLock> held = tryAcquireRunLock();
        EXPECT_NE(held, nullptr);
        std::ofstream { mark("held") };
        EXPECT_TRUE(waitFor({ "release" }));
    });
    ASSERT_TRUE(waitFor({ "held" }));
    std::vector<std::unique_ptr<ChildScene>> programs;
    for (int program = 0; program < 2; ++program) {
        programs.push_back(std::make_unique<ChildScene>([&, program] {
            const std::string waiting = "waiting" + std::to_string(program);
            scene.duringRun = [&] {
                const auto& texts = scene.host.progressTexts;
                if (!texts.empty() && texts.back() == kWaitingText && !fs::exists(mark(waiting)))
                    std::ofstream { mark(waiting) };
            };
            EXPECT_EQ(scene.convert(sources[program], folderOf(program)), std::vector<std::string> { "Done." });
        }));
    }
    EXPECT_TRUE(waitFor({ "waiting0", "waiting1" })) << "a run did not wait for the printer";
    std::ofstream { mark("release") };
    EXPECT_TRUE(third.wait().passed);

    for (auto& program : programs)
        EXPECT_TRUE(program->wait().passed) << "see the failures above, from the child process";
    for (int program = 0; program < 2; ++program) {
        EXPECT_EQ(namesIn(folderOf(program)),
            (std::vector<std::string> { "report0.pdf", "report1.pdf", "report2.pdf", "report3.pdf" }));
        scene.expectConverted(sources[program], folderOf(program));
    }
    EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);
}

} // namespace
