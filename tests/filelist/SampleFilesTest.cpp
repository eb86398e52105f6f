#include "filelist/SampleFiles.h"

#include "filelist/FileList.h"
#include "runtime/Dialogs.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;
namespace fs = std::filesystem;

namespace {

class RecordingShellOpener : public ShellOpener
{
public:
    void openFolder(const std::string& path) override
    {
        opened.push_back(path);
    }
    std::vector<std::string> opened;
};

} // namespace

TEST(SampleFiles, AddsEachSampleOnceThenOffersToOpenTheFolder)
{
    test::TempDir program;
    test::makeFiles(program.path() / "Samples", { "catalogue.xml", "readme.txt", "Nested/not-a-sample.xml" });
    const std::string samples = program.str() + "/Samples/";
    FileList list;
    list.add(program.str() + "/samples/catalogue.xml"); // other letter case: not the same text
    test::ScriptedMessageBoxes messages;
    messages.answers = { MessageAnswer::No, MessageAnswer::Yes };
    RecordingShellOpener opener;

    AddSampleFiles(list, program.str(), messages, opener);
    AddSampleFiles(list, program.str(), messages, opener);

    EXPECT_EQ(list.entries(),
        (std::vector<std::string> {
            program.str() + "/samples/catalogue.xml", samples + "catalogue.xml", samples + "readme.txt" }));
    ASSERT_EQ(messages.shown.size(), 2u);
    const Message& question = messages.shown[0];
    EXPECT_EQ(question.text,
        "Would you like this software to open the folder where these sample files are stored "
        "(so that you can view them before working with them)?");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::None);
    EXPECT_FALSE(question.title.has_value());
    // No the first time, Yes the second.
    EXPECT_EQ(opener.opened, std::vector<std::string> { samples });
}

TEST(SampleFiles, AnEmptyOrMissingFolderAddsNothingButStillAsks)
{
    test::TempDir program;
    FileList list;
    test::ScriptedMessageBoxes messages;
    RecordingShellOpener opener;
    AddSampleFiles(list, program.str(), messages, opener);
    fs::create_directory(program.path() / "Samples");
    AddSampleFiles(list, program.str(), messages, opener);
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(opener.opened.empty());
}
