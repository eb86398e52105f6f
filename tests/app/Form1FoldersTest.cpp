#include "filelist/gui/ListView1.h"
#include "runtime/MessageBoxes.h"
#include "runtime/MousePointer.h"
#include "tests/app/Form1Harness.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

namespace {

std::vector<std::string> entries(Form1& form)
{
    return form.fileList().entries();
}

// Sends a drop of the given local paths onto the list, as a file manager would.
bool dropOnList(Form1& form, const std::vector<std::filesystem::path>& paths, const QString& text = QString())
{
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& path : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(path.string()));
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    QWidget* target = form.ListView1_()->viewport();
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    // The window handles a drop once the drag has finished, from the event queue: run what the drop queued.
    QCoreApplication::sendPostedEvents();
    return drop.isAccepted();
}

} // namespace

TEST(Form1Folders, AddFolderListsTheTreesXmlFilesAndRemembersTheFolder)
{
    Form1Harness h;
    Form1& form = h.load();
    const auto data = h.tmp.path() / "Data";
    h.writeFile(data / "a.xml");
    h.writeFile(data / "b.txt");
    h.writeFile(data / "~a.xml");
    h.writeFile(data / "Sub" / "c.XML");
    h.writeFile(data / ".hidden.xml");

    h.folderPicker.result = "";
    form.PushButton4_Click();
    EXPECT_TRUE(entries(form).empty());
    EXPECT_EQ(h.setting("LastFolder"), "<missing>") << "cancel remembers nothing";

    h.folderPicker.result = data.string();
    form.PushButton4_Click();
    EXPECT_EQ(
        entries(form), (std::vector<std::string> { (data / "a.xml").string(), (data / "Sub" / "c.XML").string() }));
    EXPECT_EQ(h.setting("LastFolder"), data.string());
    EXPECT_EQ(h.folderPicker.titles.back(), "Please select folder:");
    EXPECT_EQ(form.MousePointer(), pointer::kDefault);
    EXPECT_TRUE(h.messages.shown.empty());

    form.PushButton4_Click();
    EXPECT_EQ(entries(form).size(), 4u) << "a second use lists every file again";
    EXPECT_EQ(h.folderPicker.startFolders.back(), data.string());
}

TEST(Form1Folders, AddFolderDuringARunKeepsTheRunsHourglass)
{
    Form1Harness h;
    Form1& form = h.load();
    const auto data = h.tmp.path() / "Data";
    h.writeFile(data / "a.xml");
    form.fileList().add((data / "a.xml").string());
    h.folderPicker.result = data.string();
    int pointerAfterAdd = -1;
    h.launch = [&](const std::string&, std::optional<int>, Yielder&) {
        form.PushButton4_Click();
        pointerAfterAdd = form.MousePointer();
        form.PushButton6_Click(); // Clear List, refused while the run is busy
        return 0;
    };
    form.PushButton2_Click();
    EXPECT_EQ(pointerAfterAdd, pointer::kHourglass) << "the run is still going: its busy marker stays";
    EXPECT_EQ(entries(form).size(), 2u) << "the added file is listed and nothing was cleared";
    EXPECT_EQ(form.MousePointer(), pointer::kDefault) << "the run takes it back at its end";
    EXPECT_EQ(h.commandLines.size(), 1u) << "the file added during the run is not converted by it";
}

TEST(Form1Folders, DropsAddFilesAsTheyCameAndFoldersThroughTheScan)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    const auto data = h.tmp.path() / "Data";
    h.writeFile(data / "a.xml");
    h.writeFile(data / "b.txt");
    h.writeFile(data / "~c.xml");
    const auto loose = h.tmp.path() / "~tmp report.pdf";
    h.writeFile(loose);

    EXPECT_FALSE(dropOnList(form, {}, QStringLiteral("just text"))) << "no files: the drag is refused";
    EXPECT_TRUE(entries(form).empty());

    EXPECT_TRUE(dropOnList(form, { data, loose }));
    EXPECT_EQ(entries(form),
        (std::vector<std::string> { (data / "a.xml").string(), (data / "b.txt").string(), loose.string() }));
    EXPECT_TRUE(h.messages.shown.empty());
}

TEST(Form1Folders, SamplesAreAddedOnceAndTheFolderOpensOnYes)
{
    Form1Harness h;
    h.writeFile(h.programFolder / "Samples" / "invoice.xml");
    h.writeFile(h.programFolder / "Samples" / "notes.txt");
    Form1& form = h.load();
    h.messages.answers = { MessageAnswer::No, MessageAnswer::Yes };
    form.PushButton7_Click();
    form.PushButton7_Click();
    const std::string samples = h.programFolder.string() + "/Samples/";
    EXPECT_EQ(entries(form), (std::vector<std::string> { samples + "invoice.xml", samples + "notes.txt" }));
    ASSERT_EQ(h.messages.shown.size(), 2u) << "the question is asked each time";
    EXPECT_EQ(h.messages.shown[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(h.shell.opened, (std::vector<std::string> { samples }));
}
