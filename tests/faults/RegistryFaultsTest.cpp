// Runs against a registry database that another program holds locked, or that is damaged.
#include "platform/posix/SqlitePrinterTable.h"
#include "tests/faults/FaultScene.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Another program with the registry database open, which holds it in an exclusive transaction when told to.
// Started before this program opens the database: a forked child must not inherit an open connection.
class RegistryLocker
{
public:
    explicit RegistryLocker(const std::string& database)
    {
        int commands[2];
        int answers[2];
        if (::pipe(commands) != 0 || ::pipe(answers) != 0)
            return;
        std::fflush(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(commands[1]);
            ::close(answers[0]);
            serve(database, commands[0], answers[1]);
        }
        ::close(commands[0]);
        ::close(answers[1]);
        m_commands = commands[1];
        m_answers = answers[0];
    }
    ~RegistryLocker()
    {
        ::close(m_commands); // the child ends at the end of its commands
        ::close(m_answers);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    RegistryLocker(const RegistryLocker&) = delete;
    RegistryLocker& operator=(const RegistryLocker&) = delete;

    bool lock()
    {
        return ask('l');
    }
    bool unlock()
    {
        return ask('u');
    }

private:
    bool ask(char command)
    {
        char answer = 0;
        return ::write(m_commands, &command, 1) == 1 && ::read(m_answers, &answer, 1) == 1 && answer == 'y';
    }

    [[noreturn]] static void serve(const std::string& database, int commands, int answers)
    {
        sqlite3* db = nullptr;
        const bool opened = sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
        char command = 0;
        while (::read(commands, &command, 1) == 1) {
            const char* sql = command == 'l' ? "BEGIN EXCLUSIVE" : "COMMIT";
            const char answer = opened && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK ? 'y' : 'n';
            if (::write(answers, &answer, 1) != 1)
                break;
        }
        sqlite3_close(db);
        ::_exit(0);
    }

    pid_t m_pid = -1;
    int m_commands = -1;
    int m_answers = -1;
};

TEST(RegistryFaults, RegistryLockedByAnotherProgramFailsWhatItHeldUpAndNamesAPrinterNotPutBack)
{
    FaultScene scene;
    const fs::path a = scene.source("a.xml", "first");
    const fs::path b = scene.source("b.xml", "second");
    const fs::path c = scene.source("c.xml", "third");
    RegistryLocker other(SqliteConnection::defaultDatabasePath());
    int locks = 0;
    int unlocks = 0;
    // Locked for longer than a write waits: while the second file is prepared, and again from the moment the
    // third file's PDF is done until the run says something.
    scene.duringRun = [&] {
        const std::string text = scene.host.progressTexts.empty() ? "" : scene.host.progressTexts.back();
        if ((text == "Processing: b.xml" && locks == 0) || (fs::exists(scene.out() / "c.pdf") && locks == 1))
            locks += other.lock();
        if (text == "Processing: c.xml" && locks == 1 && unlocks == 0)
            unlocks += other.unlock();
    };
    scene.host.boxes.onShow = [&](const Message&) {
        if (locks == 2 && unlocks == 1)
            unlocks += other.unlock();
    };
    EXPECT_EQ(scene.convert({ a, b, c }),
        (Names { "\"Office Laser\" could not be made the default printer again. Quillmark PDF Writer is still the "
                 "default printer; please set yours back by hand.",
            notConverted(3, { b }) }));
    EXPECT_EQ(unlocks, 2);
    // The third file's PDF holds the third file, not the second one's values left behind.
    EXPECT_EQ(namesIn(scene.out()), (Names { "a.pdf", "c.pdf" }));
    scene.expectConverted({ a, c });

    // The user sets their printer back as asked; the program converts as before.
    SqlitePrinterTable(SqliteConnection::defaultDatabasePath()).setDefaultPrinter(kUserPrinter);
    scene.host.boxes.onShow = nullptr;
    scene.duringRun = nullptr;
    EXPECT_EQ(scene.convert({ b }), Names { "Done." });
    scene.expectConverted({ b });
    EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);
}

TEST(RegistryFaults, DamagedRegistryConvertsNothingSaysSoAndIsLeftForRepair)
{
    const auto truncate = [](const fs::path& database) { fs::resize_file(database, fs::file_size(database) / 2); };
    const auto overwrite = [](const fs::path& database) {
        std::ofstream(database, std::ios::binary | std::ios::trunc) << "not a database at all\n";
    };
    for (const auto& damage :
        { std::function<void(const fs::path&)>(truncate), std::function<void(const fs::path&)>(overwrite) }) {
        FaultScene scene;
        const fs::path a = scene.source("a.xml", "first");
        const fs::path database = SqliteConnection::defaultDatabasePath();
        ASSERT_FALSE(fs::exists(database.string() + "-wal")) << "the last program to close it took in its log";
        damage(database);
        const std::string damaged = readFile(database);

        const Names shown = scene.convert({ a });
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_TRUE(shown[0].starts_with("Error No: 482\r\nPrinter error\r\n")) << shown[0];
        EXPECT_EQ(shown[1],
            "Quillmark PDF Writer is not installed or could not be made the default printer. No file was converted.");
        EXPECT_EQ(namesIn(scene.out()), Names {});
        // The same again, and the file as it was, for the user to rescue or replace.
        EXPECT_EQ(scene.convert({ a }), shown);
        EXPECT_EQ(readFile(database), damaged);

        fs::remove(database);
        scene.setUpUser();
        EXPECT_EQ(scene.convert({ a }), Names { "Done." });
        scene.expectConverted({ a });
        EXPECT_EQ(scene.defaultPrinter(), kUserPrinter);
    }
}

} // namespace
