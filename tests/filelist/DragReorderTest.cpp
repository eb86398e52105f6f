#include "filelist/DragReorder.h"

#include "filelist/FileList.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace papyrant;

namespace {

FileList listOf(std::initializer_list<const char*> texts)
{
    FileList list;
    for (const char* text : texts)
        list.add(text);
    return list;
}

std::vector<std::string> texts(const FileList& list)
{
    return list.entries();
}

constexpr int kMiddleY = 330; // between the two scrolling thresholds

} // namespace

TEST(DragReorder, DraggingStraightOntoAnEntryExchangesOnlyThoseTwo)
{
    FileList list = listOf({ "A", "B", "C", "D" });
    DragReorder drag(list);
    drag.mouseDown();
    drag.itemClick(1);
    const auto result = drag.mouseMove(3, kMiddleY);
    EXPECT_EQ(texts(list), (std::vector<std::string> { "C", "B", "A", "D" }));
    EXPECT_EQ(result.select, 3u);
    EXPECT_EQ(drag.dragItem(), 3u);
}

TEST(DragReorder, DraggingStepByStepCarriesTheTextAlong)
{
    FileList list = listOf({ "A", "B", "C", "D" });
    DragReorder drag(list);
    drag.mouseDown();
    drag.itemClick(1);
    drag.mouseMove(1, kMiddleY); // still over itself
    drag.mouseMove(2, kMiddleY);
    drag.mouseMove(3, kMiddleY);
    EXPECT_EQ(texts(list), (std::vector<std::string> { "B", "C", "A", "D" }));
    drag.mouseUp();
    drag.mouseMove(4, kMiddleY); // released: nothing moves
    EXPECT_EQ(texts(list), (std::vector<std::string> { "B", "C", "A", "D" }));
    EXPECT_EQ(drag.dragItem(), 3u) << "the dragged entry is kept after the release";
}

TEST(DragReorder, NoExchangeWithoutPressDragItemHoverOrDifferentText)
{
    FileList list = listOf({ "A", "A", "B" });
    DragReorder drag(list);
    drag.itemClick(1);
    EXPECT_FALSE(drag.mouseMove(3, kMiddleY).select) << "not pressed";
    drag.mouseDown();
    EXPECT_FALSE(drag.mouseMove(std::nullopt, 0).select) << "empty space below the last entry";
    const auto same = drag.mouseMove(2, 0);
    EXPECT_FALSE(same.select) << "identical text";
    EXPECT_FALSE(same.ensureVisible) << "a move without an exchange never scrolls";
    DragReorder fresh(list);
    fresh.mouseDown();
    EXPECT_FALSE(fresh.mouseMove(2, kMiddleY).select) << "nothing clicked yet";
    EXPECT_EQ(texts(list), (std::vector<std::string> { "A", "A", "B" }));
}

TEST(DragReorder, ScrollsByTheCursorsScreenRow)
{
    auto scrollFor = [](std::size_t from, std::size_t to, int y) {
        FileList list = listOf({ "A", "B", "C", "D" });
        DragReorder drag(list);
        drag.mouseDown();
        drag.itemClick(from);
        return drag.mouseMove(to, y).ensureVisible;
    };
    EXPECT_EQ(scrollFor(1, 2, 304), 1u);
    EXPECT_EQ(scrollFor(2, 1, 304), std::nullopt) << "no entry above the first";
    EXPECT_EQ(scrollFor(1, 2, 305), std::nullopt);
    EXPECT_EQ(scrollFor(1, 2, 364), std::nullopt);
    EXPECT_EQ(scrollFor(1, 2, 365), 3u);
    EXPECT_EQ(scrollFor(1, 4, 365), std::nullopt) << "no entry below the last";
}

TEST(DragReorder, RemovalsKeepTheDraggedEntryOrForgetIt)
{
    FileList list = listOf({ "A", "B", "C", "D" });
    DragReorder drag(list);
    drag.mouseDown();
    drag.itemClick(3);
    list.remove(1);
    drag.entryRemoved(1);
    EXPECT_EQ(drag.dragItem(), 2u);
    drag.mouseMove(1, kMiddleY);
    EXPECT_EQ(texts(list), (std::vector<std::string> { "C", "B", "D" }));
    list.remove(1);
    drag.entryRemoved(1);
    EXPECT_EQ(drag.dragItem(), std::nullopt);
    EXPECT_FALSE(drag.mouseMove(2, kMiddleY).select);
    drag.itemClick(9); // a stale position is ignored, never read
    EXPECT_FALSE(drag.mouseMove(1, kMiddleY).select);
    EXPECT_EQ(texts(list), (std::vector<std::string> { "B", "D" }));
}
