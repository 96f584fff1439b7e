#include <gtest/gtest.h>

#include <vector>

#include "processing/UnvisitedList.h"

namespace {

std::vector<int> walk(const UnvisitedList& list)
{
    std::vector<int> seen;
    for (int f = list.first(); f != -1; f = list.next(f)) seen.push_back(f);
    return seen;
}

}  // namespace

TEST(UnvisitedList, RemovingTheVisitedFaceLetsTheWalkGoOn)
{
    UnvisitedList list;
    list.fill(8);
    std::vector<int> seen;
    // Remove every face the walk stands on that is odd, as a ball capture does.
    for (int f = list.first(); f != -1; f = list.next(f)) {
        seen.push_back(f);
        if (f % 2 == 1) list.remove(f);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(walk(list), (std::vector<int>{0, 2, 4, 6}));
    EXPECT_EQ(list.count, 4);

    // Removing everything during one walk empties the list.
    for (int f = list.first(); f != -1; f = list.next(f)) list.remove(f);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.first(), -1);
    EXPECT_EQ(list.tail, -1);
}

TEST(UnvisitedList, HeadTailAndRepeatedRemoval)
{
    UnvisitedList list;
    list.fill(4);
    list.remove(0);
    EXPECT_EQ(list.first(), 1);
    list.remove(3);
    EXPECT_EQ(list.tail, 2);
    list.remove(3);  // already gone: nothing changes
    list.remove(9);  // not a face of the list
    list.remove(-1);
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(walk(list), (std::vector<int>{1, 2}));
    EXPECT_FALSE(list.contains(0));
    EXPECT_TRUE(list.contains(2));
    // A removed face still leads on to the face that followed it.
    EXPECT_EQ(list.next(0), 1);

    list.fill(0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.first(), -1);
    list.fill(3);  // refilling restores every face
    EXPECT_EQ(walk(list), (std::vector<int>{0, 1, 2}));
}
