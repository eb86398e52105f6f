// The progress line on a real terminal: tmux runs the program in a narrow pane, and its screen is read back.
#include "tests/support/ConvertProgram.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

// A tmux server of the test's own, with one pane of the given width that stays after its program ends.
class TmuxPane
{
public:
    TmuxPane(const fs::path& folder, int columns, const std::vector<std::string>& command)
        : m_folder(folder)
        , m_socket((folder / ".tmux").string())
    {
        const fs::path config = folder / ".tmux.conf";
        std::ofstream(config) << "set -g remain-on-exit on\nset -g status off\n";
        std::vector<std::string> arguments { "tmux", "-u", "-S", m_socket, "-f", config.string(), "new-session", "-d",
            "-x", std::to_string(columns), "-y", "20", "-c", folder.string() };
        arguments.insert(arguments.end(), command.begin(), command.end());
        std::string output;
        m_started = runProgram(arguments, output, folder) == 0;
    }
    ~TmuxPane()
    {
        std::string ignored;
        runProgram({ "tmux", "-S", m_socket, "kill-server" }, ignored, m_folder);
    }
    bool started() const
    {
        return m_started;
    }
    std::string ask(const std::vector<std::string>& command) const
    {
        std::vector<std::string> arguments { "tmux", "-u", "-S", m_socket };
        arguments.insert(arguments.end(), command.begin(), command.end());
        std::string output;
        runProgram(arguments, output, m_folder);
        return output;
    }
    // What the pane shows, with the lines scrolled out of it above.
    std::string screen() const
    {
        return ask({ "capture-pane", "-p", "-S", "-" });
    }
    // Polls the pane until the condition holds on what it shows; false when it never does.
    template <typename Condition> bool waitUntil(Condition condition) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

private:
    fs::path m_folder;
    std::string m_socket;
    bool m_started = false;
};

} // namespace

TEST(ConvertProgressLine, WideNamesNeverWrapAndCtrlCLeavesOnlyTheSummary)
{
    ConvertScene s;
    std::string text;
    for (int line = 0; line < 8000; ++line)
        text += "<row n=\"" + std::to_string(line) + "\">a line that takes some time to lay out</row>\n";
    // Names far wider than the pane in columns, though not in characters: each CJK character takes two.
    for (int i = 0; i < 40; ++i)
        s.file("in/" + std::to_string(i) + "漢字の長いファイル名は端末の幅を超えてしまう文字列です.xml", text);
    // One the batch cannot finish before the stop, however fast it prints the others.
    writeEndlessSource(s.dir.path() / "in" / "7漢字の長いファイル名は端末の幅を超えてしまう文字列です.xml", text);
    ::setenv("LANG", "C.UTF-8", 1);
    const TmuxPane pane(s.dir.path(), 60,
        { (binDir() / "papyrant-convert").string(), "-j", "1", "-o", "out", (s.dir.path() / "in").string() });
    ASSERT_TRUE(pane.started());
    ASSERT_TRUE(pane.waitUntil([&] { return contains(pane.screen(), " files "); })) << pane.screen();
    // Drawn a few times a second: several draws of the line, each as wide as it may be, before the stop.
    ASSERT_TRUE(pane.waitUntil([&] { return contains(pane.screen(), "/40 files  "); })) << pane.screen();
    pane.ask({ "send-keys", "C-c" });
    ASSERT_TRUE(pane.waitUntil([&] { return contains(pane.ask({ "display", "-p", "#{pane_dead}" }), "1"); }));

    std::istringstream lines(pane.screen());
    std::vector<std::string> shown;
    for (std::string line; std::getline(lines, line);) {
        if (line.find_first_not_of(' ') != std::string::npos)
            shown.push_back(line);
    }
    ASSERT_GE(shown.size(), 1u);
    // The summary, maybe on two lines of the pane, then tmux's own note that the program ended; nothing else.
    std::string summary;
    for (const std::string& line : shown) {
        if (!line.starts_with("Pane is dead"))
            summary += line;
    }
    EXPECT_TRUE(summary.starts_with("papyrant-convert: stopped: converted ")) << pane.screen();
    EXPECT_TRUE(contains(summary, " of 40 files in ")) << pane.screen();
    EXPECT_FALSE(contains(summary, "^C")) << pane.screen();
    EXPECT_FALSE(contains(summary, "漢")) << pane.screen();
}
