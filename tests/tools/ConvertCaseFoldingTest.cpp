// Two sources whose PDFs differ only in case, written to a folder that ignores case: one PDF, one source.
#include "tests/support/ConvertProgram.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

// The case-folding pass-through file system of the test tree, mounted for the life of the object.
class CaseFoldingMount
{
public:
    CaseFoldingMount(const fs::path& folder, const fs::path& mountPoint, const fs::path& log)
        : m_mountPoint(mountPoint)
    {
        fs::create_directories(folder);
        fs::create_directories(mountPoint);
        const std::string script = std::string(PAPYRANT_TEST_SOURCE_DIR) + "/tests/tools/fs/case_folding_fs.py";
        m_pid = startProgram({ "/usr/bin/python3", script, folder.string(), mountPoint.string() }, log);
        // Mounted once the mount point's device is no longer its parent's.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline && ::waitpid(m_pid, nullptr, WNOHANG) == 0) {
            struct stat inner = {};
            struct stat outer = {};
            if (::stat(mountPoint.c_str(), &inner) == 0 && ::stat(mountPoint.parent_path().c_str(), &outer) == 0
                && inner.st_dev != outer.st_dev) {
                m_mounted = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~CaseFoldingMount()
    {
        if (m_pid <= 0)
            return;
        std::string ignored;
        if (m_mounted)
            runProgram({ "fusermount3", "-u", m_mountPoint.string() }, ignored, m_mountPoint.parent_path());
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    bool mounted() const
    {
        return m_mounted;
    }

private:
    fs::path m_mountPoint;
    pid_t m_pid = -1;
    bool m_mounted = false;
};

} // namespace

TEST(ConvertCaseFolding, TwoSpellingsOfOnePdfOnACaseFoldingFolderNeverBothConvert)
{
    ConvertScene s;
    s.file("a/x.xml", "<x>lower</x>");
    s.file("b/X.xml", "<x>upper</x>");
    const CaseFoldingMount mount(s.dir.path() / "stick", s.dir.path() / "mnt", s.dir.path() / "fuse.log");
    ASSERT_TRUE(mount.mounted()) << "FUSE could not mount: " << s.read("fuse.log");
    {
        const ConvertProgram::Outcome outcome = s.run({ "-j", "2", "--json", "-", "-o", "mnt", "a/x.xml", "b/X.xml" });
        EXPECT_EQ(outcome.code, 1) << outcome.errors;
        std::size_t converted = 0;
        for (std::size_t at = 0; (at = outcome.output.find("\"status\":\"converted\"", at)) != std::string::npos; ++at)
            ++converted;
        EXPECT_EQ(converted, 1u) << outcome.output;
        EXPECT_TRUE(contains(outcome.errors, ": same PDF as ")) << outcome.errors;
        EXPECT_EQ(s.namesIn("stick").size(), 1u);
    }
}
