#include "app/ProgressBar1.h"
#include "filelist/gui/ListView1.h"
#include "runtime/MousePointer.h"
#include "tests/app/Form1Harness.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

namespace {

void moveOver(QWidget* widget)
{
    const QPoint inside(3, 3);
    QMouseEvent move(QEvent::MouseMove, QPointF(inside), widget->mapToGlobal(QPointF(inside)), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

TEST(Form1Hover, ButtonsShowTheHandAndTheFramesTakeItBack)
{
    Form1Harness h;
    std::filesystem::copy_file(std::filesystem::path(std::getenv("PAPYRANT_SOURCE_DIR")) / "assets/HAND-M.CUR",
        h.programFolder / "HAND-M.CUR");
    Form1& form = h.load();
    form.show();

    moveOver(form.PushButton4);
    EXPECT_EQ(form.MousePointer(), pointer::kCustom);
    EXPECT_EQ(form.PushButton4->cursor().shape(), Qt::BitmapCursor) << "the hand picture is shown";

    for (QWidget* without : { static_cast<QWidget*>(form.Option1), static_cast<QWidget*>(form.Text1),
             static_cast<QWidget*>(form.ProgressBar1_) }) {
        moveOver(without);
        EXPECT_EQ(form.MousePointer(), pointer::kCustom) << without->objectName().toStdString();
    }
    moveOver(form.Frame5);
    EXPECT_EQ(form.MousePointer(), pointer::kDefault);
    EXPECT_EQ(form.PushButton4->cursor().shape(), Qt::ArrowCursor);

    moveOver(form.PushButton9);
    EXPECT_EQ(form.MousePointer(), pointer::kCustom);
    moveOver(form.Frame3);
    EXPECT_EQ(form.MousePointer(), pointer::kDefault);
    moveOver(form.PushButton1);
    moveOver(form.ListView1_()->viewport());
    EXPECT_EQ(form.MousePointer(), pointer::kDefault) << "the list takes the hand back";
    moveOver(form.PushButton1);
    moveOver(&form);
    EXPECT_EQ(form.MousePointer(), pointer::kDefault);
}

TEST(Form1Hover, TheHourglassWinsEverywhere)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    form.setMousePointer(pointer::kHourglass);
    for (QWidget* over : { static_cast<QWidget*>(form.PushButton2), static_cast<QWidget*>(form.Frame5),
             static_cast<QWidget*>(form.ListView1_()->viewport()), static_cast<QWidget*>(&form) }) {
        moveOver(over);
        EXPECT_EQ(form.MousePointer(), pointer::kHourglass);
    }
    form.ListView1_()->setListPointer(pointer::kCustom, QCursor(Qt::OpenHandCursor));
    for (QWidget* shown : form.findChildren<QWidget*>())
        EXPECT_EQ(shown->cursor().shape(), Qt::WaitCursor) << shown->objectName().toStdString();
    form.setMousePointer(pointer::kDefault);
    EXPECT_EQ(form.ListView1_()->viewport()->cursor().shape(), Qt::OpenHandCursor) << "the list's own pointer";
    EXPECT_EQ(form.PushButton2->cursor().shape(), Qt::ArrowCursor);
}

TEST(Form1Hover, NoHandPictureShowsTheArrow)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    moveOver(form.PushButton7);
    EXPECT_EQ(form.MousePointer(), pointer::kCustom);
    EXPECT_EQ(form.PushButton7->cursor().shape(), Qt::ArrowCursor);
}
