#include "print/FileRender.h"

#include "tests/support/Programs.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

struct Rendering
{
    TempDir dir;
    fs::path source = dir.path() / "in.xml";
    fs::path out = dir.path() / "out";

    Rendering()
    {
        std::ofstream(source) << "<a>one</a>\n";
        fs::create_directory(out);
    }
    std::vector<std::string> written() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

} // namespace

TEST(FileRender, WritesThePdfRelativeToAnOpenFolderAndNamesItsCreator)
{
    Rendering r;
    const int folder = ::open(r.out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    RenderRequest request;
    request.sourcePath = r.source.string();
    request.targetFolder = folder;
    request.target = "doc.pdf";
    request.title = "in.xml";
    request.creator = "papyrant-convert";
    const RenderOutcome outcome = renderFile(request);
    ::close(folder);

    ASSERT_EQ(outcome.status, RenderOutcome::Status::Written) << outcome.reason;
    EXPECT_EQ(outcome.pages, 1);
    EXPECT_EQ(outcome.bytes, fs::file_size(r.out / "doc.pdf"));
    std::string info;
    ASSERT_EQ(runProgram({ "pdfinfo", (r.out / "doc.pdf").string() }, info, r.dir.path()), 0) << info;
    EXPECT_NE(info.find("Creator:         papyrant-convert"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           in.xml"), std::string::npos) << info;
}

// Each way a render can end early ends only that file, with a reason, and leaves nothing in the output folder.
TEST(FileRender, EndsEarlyWithAReasonAndLeavesNothing)
{
    Rendering r;
    const std::atomic<bool> raised { true };
    RenderRequest stopped;
    stopped.sourcePath = r.source.string();
    stopped.target = (r.out / "stopped.pdf").string();
    stopped.stop = &raised;
    EXPECT_EQ(renderFile(stopped).status, RenderOutcome::Status::Stopped);

    RenderRequest folderSource;
    folderSource.sourcePath = r.out.string();
    folderSource.target = (r.out / "folder.pdf").string();
    const RenderOutcome refused = renderFile(folderSource);
    EXPECT_EQ(refused.status, RenderOutcome::Status::Failed);
    EXPECT_EQ(refused.reason, "is a folder, not a file");

    RenderRequest noFolder;
    noFolder.sourcePath = r.source.string();
    noFolder.target = (r.out / "missing" / "x.pdf").string();
    const RenderOutcome missing = renderFile(noFolder);
    EXPECT_EQ(missing.status, RenderOutcome::Status::Failed);
    EXPECT_EQ(missing.reason, "the output folder does not exist");

    // A descriptor that cannot be read as a file: the read's failure is the file's reason, not the process's end.
    RenderRequest unreadable;
    unreadable.sourceDescriptor = ::open(r.dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    unreadable.target = (r.out / "unreadable.pdf").string();
    const RenderOutcome unread = renderFile(unreadable);
    EXPECT_EQ(unread.status, RenderOutcome::Status::Failed);
    EXPECT_EQ(unread.reason.rfind("cannot read the file: ", 0), 0u) << unread.reason;

    EXPECT_TRUE(r.written().empty());
}
