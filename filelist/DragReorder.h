#pragma once

#include <cstddef>
#include <optional>

namespace papyrant {

class FileList;

// Drag reordering of the job list: the dragged text is exchanged with the entry under the cursor, step by
// step, and the selection follows it. Entries are never moved; only their texts trade places.
class DragReorder
{
public:
    struct MoveResult
    {
        std::optional<std::size_t> select; // the entry to select after an exchange
        std::optional<std::size_t> ensureVisible; // the entry to scroll into view
    };

    // Screen rows that start the automatic scrolling: above the first, the previous entry is brought into view;
    // at or below the second, the next one.
    static constexpr int kScrollUpBelowY = 305;
    static constexpr int kScrollDownFromY = 365;

    explicit DragReorder(FileList& list)
        : m_list(list)
    {
    }

    // ListView1_MouseDown
    void mouseDown()
    {
        m_listMouseDown = true;
    }
    // ListView1_ItemClick: the press on an entry, after the selection moved to it.
    void itemClick(std::optional<std::size_t> selected)
    {
        m_dragItem = selected;
    }
    // One step of ListView1_MouseMove: the entry under the cursor (if any) and the cursor's screen y.
    MoveResult mouseMove(std::optional<std::size_t> hoverItem, int cursorScreenY);
    // ListView1_MouseUp
    void mouseUp()
    {
        m_listMouseDown = false;
    }

    // Keep DragItem on its entry when the list changes under it; a removed entry is no longer dragged.
    void entryRemoved(std::size_t position);
    void entriesCleared()
    {
        m_dragItem.reset();
    }

    bool listMouseDown() const
    {
        return m_listMouseDown;
    }
    std::optional<std::size_t> dragItem() const
    {
        return m_dragItem;
    }

private:
    FileList& m_list;
    bool m_listMouseDown = false;
    std::optional<std::size_t> m_dragItem;
};

} // namespace papyrant
