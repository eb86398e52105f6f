#pragma once

#include "tests/conversion/FakeConversionHost.h"
#include "tests/platform/FreshConfigHome.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace papyrant::test {

// A user with the program set up as papyrant-platform sets it up, in a configuration folder of its own, with a
// printer of their own ("Office Laser") as the default, and folders for sources ("in") and PDFs ("out"). Runs
// go through the real conversion run, registry, printers, run lock, ShellAndWait and padprint.
class FaultScene
{
public:
    FaultScene();

    // What a user does once: papyrant-platform setup, and their own printer as the default.
    void setUpUser();

    const std::filesystem::path& root() const
    {
        return m_files.path();
    }
    std::filesystem::path in() const
    {
        return root() / "in";
    }
    std::filesystem::path out() const
    {
        return root() / "out";
    }

    // An XML source in "in" whose PDF must hold `text`.
    std::filesystem::path source(const std::string& name, const std::string& text);
    // A source of many lines, slow to print and large as a PDF.
    std::filesystem::path bigSource(const std::string& name, int lines);

    // Lists the files, chooses the folder ("out" unless named) with Option1 and presses "Start Converting"; the
    // messages the run showed.
    // A run that takes longer than kRunLimit is stopped as the window's closing would stop it, and fails.
    std::vector<std::string> convert(
        const std::vector<std::filesystem::path>& files, const std::filesystem::path& folder = {});

    // Called at every yield and pause of the run, to break something in the middle of it.
    std::function<void()> duringRun;
    // Whether the last run had to be stopped.
    bool hung = false;
    static constexpr std::chrono::seconds kRunLimit { 30 };

    // Read afresh from the registry.
    std::string defaultPrinter() const;
    // The text of a PDF, through pdftotext.
    std::string pdfText(const std::filesystem::path& pdf);
    // Expects that each file became its PDF in the folder ("out" unless named) holding its own source's text.
    void expectConverted(const std::vector<std::filesystem::path>& sources, const std::filesystem::path& folder = {});

    FakeConversionHost host;

private:
    FreshConfigHome m_config;
    TempDir m_files;
};

// The final message of a run in which the named files failed.
std::string notConverted(std::size_t fileCount, const std::vector<std::filesystem::path>& failed);

// The names in a folder, sorted; a half-written PDF or a temporary file left behind shows up here.
std::vector<std::string> namesIn(const std::filesystem::path& folder);

// This program's child processes, zombies included.
std::vector<pid_t> childProcesses();

// The folder of the programs (padprint, papyrant-platform) and of the test programs.
std::filesystem::path binDir();
std::filesystem::path testDir();

inline const std::string kUserPrinter = "Office Laser";

} // namespace papyrant::test
