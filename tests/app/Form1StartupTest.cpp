#include "app/ProgressBar1.h"
#include "filelist/gui/ListView1.h"
#include "tests/app/Form1Harness.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

namespace {

struct Placement
{
    const char* name;
    int left, top, width, height;
};

} // namespace

TEST(Form1Startup, EveryControlSitsWhereTheLayoutPutsIt)
{
    Form1Harness h;
    Form1& form = h.load();
    // The layout's twips at the 96 dpi of the test screen: 15 twips a pixel, rounded to the nearest.
    ASSERT_EQ(form.logicalDpiY(), 96);
    const Placement placements[] = {
        { "ListView1", 8, 8, 520, 169 },
        { "PushButton1", 8, 183, 244, 27 },
        { "PushButton4", 260, 183, 268, 27 },
        { "PushButton6", 8, 217, 244, 27 },
        { "PushButton7", 260, 217, 268, 27 },
        { "Frame5", 8, 248, 520, 121 },
        { "Option1", 16, 20, 280, 17 },
        { "Frame3", 32, 34, 456, 54 },
        { "Text1", 16, 20, 378, 23 },
        { "PushButton9", 400, 20, 40, 23 },
        { "Option2", 16, 94, 280, 17 },
        { "PushButton2", 8, 377, 520, 27 },
        { "ProgressBar1", 8, 412, 520, 27 },
    };
    for (const Placement& p : placements) {
        const QWidget* control = form.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(control, nullptr) << p.name;
        EXPECT_EQ(control->geometry(), QRect(p.left, p.top, p.width, p.height)) << p.name;
    }
    EXPECT_EQ(form.size(), QSize(536, 447));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window cannot be resized";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

    EXPECT_EQ(form.PushButton1->text(), QStringLiteral("Add XML File(s)"));
    EXPECT_EQ(form.PushButton4->text(), QStringLiteral("Add All XML File(s) In Folder"));
    EXPECT_EQ(form.PushButton6->text(), QStringLiteral("Clear List"));
    EXPECT_EQ(form.PushButton7->text(), QStringLiteral("Load Sample/Example Files"));
    EXPECT_EQ(form.PushButton2->text(), QStringLiteral("Start Converting"));
    EXPECT_EQ(form.PushButton9->text(), QStringLiteral("..."));
    EXPECT_EQ(form.Frame5->title(), QStringLiteral("Save Option"));
    EXPECT_EQ(form.Option1->text(), QStringLiteral("Save results to this folder:"));
    EXPECT_EQ(form.Option2->text(), QStringLiteral("Save results in folder of original file"));
    EXPECT_EQ(form.ProgressBar1_->text(), QStringLiteral("Progress Bar"));

    EXPECT_TRUE(form.font().bold());
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 9.0);
    EXPECT_DOUBLE_EQ(form.PushButton2->font().pointSizeF(), 11.25);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));

    // Tab order: list, (progress bar), Add, Add All, Start, Clear, Samples, then the save options. Controls that
    // take no focus (the progress bar, the frames) keep their place but are passed over.
    QStringList order;
    QWidget* w = form.ListView1_();
    do {
        if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty())
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != form.ListView1_() && order.size() < 20);
    EXPECT_EQ(order.join(QLatin1Char(',')).toStdString(),
        "ListView1,PushButton1,PushButton4,PushButton2,PushButton6,PushButton7,Option1,Option2,Text1,"
        "PushButton9");
}

TEST(Form1Startup, SetsCaptionTitleAndTheListColumn)
{
    Form1Harness h;
    Form1& form = h.load();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Papyrant Software"));
    EXPECT_EQ(h.messages.applicationTitle(), "Papyrant") << "boxes without a title of their own show it";
    EXPECT_FALSE(form.windowIcon().pixmap(32).isNull()) << "the icon is drawn, not only named";
    // Drawn at the sizes title bars and task bars show, not scaled from another; on X11 none larger, as every size
    // travels to the display server when the window is made.
    const QList<QSize> drawn = form.windowIcon().availableSizes();
    for (const int size : { 16, 24, 32, 48 })
        EXPECT_TRUE(drawn.contains(QSize(size, size))) << size;
#ifndef Q_OS_WIN
    for (const QSize& size : drawn)
        EXPECT_LE(size.width(), 64);
#endif
    ListView1* list = form.ListView1_();
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("XML File(s)"));
    ASSERT_EQ(form.logicalDpiX(), 96);
    EXPECT_EQ(list->columnWidth(0), 467) << "7000 twips at 96 dpi";
    EXPECT_TRUE(list->toolTip().startsWith(QStringLiteral("Drag and drop files here.")));
    EXPECT_TRUE(h.messages.shown.empty()) << h.messages.shown.front().text;
    EXPECT_EQ(form.fileList().count(), 0u) << "start-up adds no file";
}

TEST(Form1Startup, HandCursorIsLoadedWhenPresentAndABrokenOneIsReportedAt104)
{
    {
        Form1Harness h;
        Form1& form = h.load();
        EXPECT_FALSE(form.hasHandCursor()) << "no HAND-M.CUR: no pointer, no message";
        EXPECT_TRUE(h.messages.shown.empty());
    }
    {
        Form1Harness h;
        std::filesystem::copy_file(std::filesystem::path(std::getenv("PAPYRANT_SOURCE_DIR")) / "assets/HAND-M.CUR",
            h.programFolder / "HAND-M.CUR");
        EXPECT_TRUE(h.load().hasHandCursor());
        EXPECT_TRUE(h.messages.shown.empty());
    }
    {
        // A picture of another kind under the cursor's name still serves.
        Form1Harness h;
        QImage hand(32, 32, QImage::Format_ARGB32);
        hand.fill(Qt::black);
        ASSERT_TRUE(hand.save(QString::fromStdString((h.programFolder / "HAND-M.CUR").string()), "PNG"));
        EXPECT_TRUE(h.load().hasHandCursor());
        EXPECT_TRUE(h.messages.shown.empty());
    }
    {
        Form1Harness h;
        h.writeFile(h.programFolder / "HAND-M.CUR", "not a picture");
        Form1& form = h.load();
        EXPECT_FALSE(form.hasHandCursor());
        ASSERT_EQ(h.messages.shown.size(), 1u);
        EXPECT_EQ(h.messages.shown[0].text.substr(0, h.messages.shown[0].text.find('\r')), "Invalid picture");
        EXPECT_NE(
            h.messages.shown[0].text.find("in Orvantis2021/08/31.Form1.Form_Load at line 104"), std::string::npos);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Papyrant Software")) << "start-up went on";
    }
}

TEST(Form1Startup, MissingPdfPrinterShowsTheInstructionsOnce)
{
    Form1Harness h(false);
    h.printers.printers.push_back("quillmark pdf writer"); // another case is another printer
    h.load();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text.rfind("Quillmark PDF Writer is not installed. Please follow these "
                                             "instructions:\r\n\r\n1) Go to Control Panel",
                  0),
        0u);
    EXPECT_FALSE(h.messages.shown[0].title.has_value());
}

TEST(Form1Startup, UnreadableDesktopIsReportedAtItsStep)
{
    Form1Harness h;
    ::setenv("HOME", (h.tmp.path() / "no-such-home").c_str(), 1);
    Form1& form = h.load();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find("at line 132"), std::string::npos);
    EXPECT_TRUE(form.Text1->text().isEmpty());
    EXPECT_TRUE(form.Option1->isChecked());
}
