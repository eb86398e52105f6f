// Files whose paths are longer than one system call takes are found, read and written beside.
#include "tests/support/ConvertProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

// A file at exactly `length` bytes of relative path, under folders of long names made one level at a time
// (no single call could take the whole path). Returns the path.
std::string makeDeepFile(const fs::path& root, const std::string& top, std::size_t length, const std::string& text)
{
    int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = top;
    ::mkdirat(folder, top.c_str(), 0755);
    int next = ::openat(folder, top.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(folder);
    folder = next;
    // Levels of 200 characters, until what is left fits one file name (from 40 to 240 bytes).
    for (int level = 0; length - path.size() - 1 > 240; ++level) {
        const std::string name = std::string(199, 'f') + static_cast<char>('a' + level % 26);
        ::mkdirat(folder, name.c_str(), 0755);
        next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = next;
        path += "/" + name;
    }
    const std::size_t nameLength = length - path.size() - 1;
    const std::string name = std::string(nameLength - 4, 'n') + ".xml";
    const int file = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_EQ(::write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(file);
    ::close(folder);
    return path + "/" + name;
}

// The first bytes of a file at a path of any length.
std::string headOf(const fs::path& root, const std::string& path, std::size_t size)
{
    int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::size_t start = 0;
    for (std::size_t slash; folder >= 0 && (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
        const int next = ::openat(folder, path.substr(start, slash - start).c_str(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = next;
    }
    const int file = folder >= 0 ? ::openat(folder, path.substr(start).c_str(), O_RDONLY) : -1;
    std::string bytes(size, '\0');
    const ssize_t count = file >= 0 ? ::read(file, bytes.data(), size) : -1;
    if (file >= 0)
        ::close(file);
    if (folder >= 0)
        ::close(folder);
    return count > 0 ? bytes.substr(0, static_cast<std::size_t>(count)) : std::string();
}

} // namespace

TEST(ConvertDeepTree, FilesBeyondThePathLimitConvertBesideTheirSourcesAndIntoAnOutputFolder)
{
    ConvertScene s;
    s.file("d/near.xml", "<a>near the top</a>");
    const std::string middle = makeDeepFile(s.dir.path(), "d", 4518, "<a>four thousand</a>");
    const std::string deepest = makeDeepFile(s.dir.path(), "d", 7514, "<a>seven thousand</a>");
    ASSERT_EQ(middle.size(), 4518u);
    ASSERT_EQ(deepest.size(), 7514u);

    ConvertProgram::Outcome outcome = s.run({ "--json", "r.json", "d" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_TRUE(contains(outcome.errors, "converted 3 of 3 files")) << outcome.errors;
    for (const std::string& source : { middle, deepest }) {
        const std::string pdf = source.substr(0, source.size() - 4) + ".pdf";
        EXPECT_EQ(headOf(s.dir.path(), pdf, 5), "%PDF-") << pdf.size();
        EXPECT_TRUE(contains(
            s.read("r.json"), "{\"source\":\"" + source + "\",\"target\":\"" + pdf + "\",\"status\":\"converted\""));
    }

    // Into a folder of short paths, the PDFs can be read back by any program.
    outcome = s.run({ "-o", "out", "d" });
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_EQ(s.namesIn("out").size(), 3u);

    std::string text;
    const std::string deepName = deepest.substr(deepest.rfind('/') + 1);
    EXPECT_EQ(
        runProgram(
            { "pdftotext", (s.dir.path() / "out" / (deepName.substr(0, deepName.size() - 4) + ".pdf")).string(), "-" },
            text, s.dir.path()),
        0);
    EXPECT_TRUE(contains(text, "seven thousand")) << text;
}
