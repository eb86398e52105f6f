#include "filelist/DragReorder.h"

#include "filelist/FileList.h"

#include <string>

namespace papyrant {

DragReorder::MoveResult DragReorder::mouseMove(std::optional<std::size_t> hoverItem, int cursorScreenY)
{
    MoveResult result;
    if (!m_listMouseDown || !hoverItem || !m_dragItem)
        return result;
    const std::size_t count = m_list.count();
    if (*hoverItem < 1 || *hoverItem > count || *m_dragItem < 1 || *m_dragItem > count)
        return result;
    const std::size_t hover = *hoverItem;
    if (m_list.item(hover) == m_list.item(*m_dragItem))
        return result;

    std::string dragged = m_list.item(*m_dragItem);
    m_list.setItem(*m_dragItem, m_list.item(hover));
    m_list.setItem(hover, std::move(dragged));
    result.select = hover;
    m_dragItem = hover;

    if (cursorScreenY < kScrollUpBelowY) {
        if (hover > 1)
            result.ensureVisible = hover - 1;
    } else if (cursorScreenY >= kScrollDownFromY && count >= hover + 1) {
        result.ensureVisible = hover + 1;
    }
    return result;
}

void DragReorder::entryRemoved(std::size_t position)
{
    if (!m_dragItem)
        return;
    if (*m_dragItem == position)
        m_dragItem.reset();
    else if (*m_dragItem > position)
        --*m_dragItem;
}

} // namespace papyrant
