#include "filelist/gui/ListView1.h"
#include "runtime/MousePointer.h"
#include "tests/app/Form1Harness.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

namespace {

void fill(Form1& form, std::initializer_list<const char*> texts)
{
    for (const char* text : texts)
        form.fileList().add(text);
}

std::vector<std::string> entries(Form1& form)
{
    return form.fileList().entries();
}

} // namespace

TEST(Form1List, DeleteAndDoubleClickRemoveTheSelectedEntryUnlessBusy)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    ListView1* list = form.ListView1_();

    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_TRUE(entries(form).empty()) << "an empty list stays empty";

    fill(form, { "/a.xml", "/b.xml", "/a.xml", "/c.xml" });
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(entries(form).size(), 4u) << "nothing selected: nothing removed";

    list->selectPosition(3);
    for (Qt::Key key : { Qt::Key_Backspace, Qt::Key_Return, Qt::Key_A })
        QTest::keyClick(list, key);
    EXPECT_EQ(entries(form).size(), 4u) << "only Delete removes";
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(entries(form), (std::vector<std::string> { "/a.xml", "/b.xml", "/c.xml" }))
        << "the duplicate at 3 goes, the first stays";

    form.setMousePointer(pointer::kHourglass);
    list->selectPosition(1);
    QTest::keyClick(list, Qt::Key_Delete);
    form.ListView1_DblClick();
    form.PushButton6_Click();
    EXPECT_EQ(entries(form).size(), 3u) << "nothing changes while a command shows the hourglass";

    form.setMousePointer(pointer::kDefault);
    const QRect row = list->visualRect(list->model()->index(1, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(entries(form), (std::vector<std::string> { "/a.xml", "/c.xml" }));

    QTest::mouseClick(form.PushButton6, Qt::LeftButton);
    EXPECT_TRUE(entries(form).empty());
}

TEST(Form1List, DraggingAnEntryWithTheMouseExchangesTexts)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    ListView1* list = form.ListView1_();
    fill(form, { "A", "B", "C", "D" });
    auto centre = [&](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };

    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre(0));
    EXPECT_EQ(list->selectedPosition(), 1u);
    QTest::mouseMove(list->viewport(), centre(2));
    QMouseEvent move(QEvent::MouseMove, QPointF(centre(2)), list->viewport()->mapToGlobal(QPointF(centre(2))),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    EXPECT_EQ(entries(form), (std::vector<std::string> { "C", "B", "A", "D" }));
    EXPECT_EQ(list->selectedPosition(), 3u) << "the selection follows the dragged text";
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre(2));
    EXPECT_EQ(list->listPointer(), pointer::kArrow) << "the arrow after the release";

    QMouseEvent after(QEvent::MouseMove, QPointF(centre(3)), list->viewport()->mapToGlobal(QPointF(centre(3))),
        Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &after);
    EXPECT_EQ(entries(form), (std::vector<std::string> { "C", "B", "A", "D" })) << "released: no more exchanges";
}

TEST(Form1List, ClickArmsTheDragPictureOrTheArrowWhenItIsMissing)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    ListView1* list = form.ListView1_();
    fill(form, { "A", "B" });
    const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    EXPECT_EQ(list->listPointer(), pointer::kArrow) << "no drag.ico: the arrow";
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);

    std::filesystem::copy_file(
        std::filesystem::path(std::getenv("PAPYRANT_SOURCE_DIR")) / "assets/drag.ico", h.programFolder / "drag.ico");
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    EXPECT_EQ(list->listPointer(), pointer::kCustom);
    EXPECT_EQ(list->viewport()->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
}

TEST(Form1List, AddFilesTakesTheDialogsResultFormats)
{
    Form1Harness h;
    Form1& form = h.load();

    h.fileOpen.result = "";
    form.PushButton1_Click();
    EXPECT_TRUE(entries(form).empty());
    ASSERT_EQ(h.fileOpen.requests.size(), 1u);
    EXPECT_EQ(h.fileOpen.requests[0].title, "Add File(s) - Hold Ctrl to select multiple files");
    EXPECT_EQ(h.fileOpen.requests[0].filter, "XML Files (*.xml)|*.xml|");
    EXPECT_EQ(h.fileOpen.requests[0].flags, 2621953u);

    h.fileOpen.result = "/data/one.xml";
    form.PushButton1_Click();
    h.fileOpen.result = std::string("/data\0a.xml\0b c.xml\0new.xml", 27);
    form.PushButton1_Click();
    h.fileOpen.result = std::string("/\0r1.xml\0r2.xml", 15);
    form.PushButton1_Click();
    h.fileOpen.result = "/data//not//collapsed.xml";
    form.PushButton1_Click();
    EXPECT_EQ(entries(form),
        (std::vector<std::string> { "/data/one.xml", "/data/a.xml", "/data/b c.xml", "/data/new.xml", "/r1.xml",
            "/r2.xml", "/data//not//collapsed.xml" }));
    EXPECT_TRUE(h.messages.shown.empty());

    h.fileOpen.tooMany = true;
    form.PushButton1_Click();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text,
        "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.");
    EXPECT_FALSE(h.messages.shown[0].title.has_value());
    EXPECT_EQ(h.messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(entries(form).size(), 7u);
}

TEST(Form1List, ARunKeepsOffEntriesListedWhileItRuns)
{
    Form1Harness h;
    Form1& form = h.load();
    const auto in = h.tmp.path() / "in";
    h.writeFile(in / "a.xml");
    h.writeFile(in / "b.xml");
    h.writeFile(in / "c.xml");
    h.writeFile(in / "c.pdf", "listed, then exchanged away");
    form.fileList().add((in / "a.xml").string());
    form.fileList().add((in / "b.xml").string());
    form.fileList().add((in / "c.xml").string());
    form.fileList().add((in / "c.pdf").string());
    form.Option2->setChecked(true);
    h.launch = [&](const std::string&, std::optional<int>, Yielder&) {
        if (h.commandLines.size() == 1) {
            // While a.xml prints: b.pdf is listed, and the listed c.pdf is replaced by another text.
            form.fileList().add((in / "b.pdf").string());
            form.fileList().setItem(4, (in / "other.xml").string());
        }
        return 0;
    };
    form.PushButton2_Click();
    // The fourth entry is other.xml by the time the run reaches it; b.pdf, the fifth, is past the run's bound.
    ASSERT_EQ(h.commandLines.size(), 3u) << "b.xml would print over the b.pdf listed meanwhile";
    EXPECT_NE(h.commandLines[0].find("a.xml"), std::string::npos);
    EXPECT_NE(h.commandLines[1].find("c.xml"), std::string::npos) << "c.pdf is no longer listed";
    EXPECT_NE(h.commandLines[2].find("other.xml"), std::string::npos);
}
