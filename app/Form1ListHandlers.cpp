// The list's own handlers: removing, clearing and drag reordering.
#include "app/Form1.h"
#include "filelist/gui/FileNameText.h"
#include "filelist/gui/ListView1.h"
#include "platform/FileSystem.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MousePointer.h"

#include <QCursor>
#include <QFile>
#include <QPixmap>

namespace papyrant {

namespace {

constexpr int kDeleteKey = 46;

} // namespace

void Form1::removeSelectedEntry()
{
    if (m_mousePointer == pointer::kHourglass || m_list.count() == 0)
        return;
    const std::optional<std::size_t> selected = m_listView->selectedPosition();
    if (!selected)
        return; // nothing selected: nothing to remove
    m_list.remove(*selected);
    m_drag.entryRemoved(*selected);
}

void Form1::ListView1_KeyDown(int keyCode)
{
    if (keyCode == kDeleteKey)
        unguarded([&] { removeSelectedEntry(); });
}

void Form1::ListView1_DblClick()
{
    unguarded([&] { removeSelectedEntry(); });
}

void Form1::PushButton6_Click()
{
    GuardedCommand cmd(m_services.messages, commandLocation("PushButton6_Click"));
    cmd.step(100, [&] {
        if (m_mousePointer != pointer::kHourglass) {
            m_list.clear();
            m_drag.entriesCleared();
        }
    });
}

void Form1::ListView1_MouseDown()
{
    m_drag.mouseDown();
}

void Form1::ListView1_ItemClick()
{
    unguarded([&] {
        // The drag picture is read afresh at every click; a missing or broken file gives the arrow.
        const QPixmap picture(fileNameText(m_services.programFolder + kNativeSeparator + "drag.ico"));
        if (picture.isNull())
            m_listView->setListPointer(pointer::kArrow);
        else
            m_listView->setListPointer(pointer::kCustom, QCursor(picture));
        m_drag.itemClick(m_listView->selectedPosition());
    });
}

void Form1::ListView1_MouseMove(const QPoint& viewportPoint)
{
    unguarded([&] {
        if (m_mousePointer != pointer::kHourglass)
            setMousePointer(pointer::kDefault);
        if (!m_drag.listMouseDown())
            return;
        const DragReorder::MoveResult result = m_drag.mouseMove(m_listView->hitTest(viewportPoint), QCursor::pos().y());
        if (result.select)
            m_listView->selectPosition(*result.select);
        if (result.ensureVisible)
            m_listView->ensurePositionVisible(*result.ensureVisible);
    });
}

void Form1::ListView1_MouseUp()
{
    m_drag.mouseUp();
    m_listView->setListPointer(pointer::kArrow);
}

} // namespace papyrant
