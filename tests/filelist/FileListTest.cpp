#include "filelist/FileList.h"

#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

using namespace papyrant;

TEST(FileList, KeepsOrderDuplicatesAndExactText)
{
    FileList list;
    EXPECT_FALSE(IsInList(list, ""));
    list.add("/a/x.xml");
    list.add("/a/X.xml");
    list.add("/a/x.xml");
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(list.item(2), "/a/X.xml");
    EXPECT_TRUE(IsInList(list, "/a/X.xml"));
    EXPECT_FALSE(IsInList(list, "/a/x.XML"));
    EXPECT_FALSE(IsInList(list, "/a/x.xml "));
    list.remove(1);
    EXPECT_EQ(list.count(), 2u);
    EXPECT_TRUE(IsInList(list, "/a/x.xml"));
}

TEST(FileList, PositionsOutsideTheListRaiseTheRuntimeError)
{
    FileList list;
    list.add("a");
    for (std::size_t bad : { std::size_t { 0 }, std::size_t { 2 }, std::size_t { 1000 } }) {
        try {
            (void)list.item(bad);
            FAIL() << bad;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), err::kIndexOutOfBounds);
        }
        EXPECT_THROW(list.remove(bad), RuntimeError);
        EXPECT_THROW(list.setItem(bad, "b"), RuntimeError);
    }
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.item(1), "a");
}
