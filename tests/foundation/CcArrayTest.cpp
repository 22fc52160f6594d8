#include "foundation/CcArray.h"
#include "foundation/CcString.h"

#include <gtest/gtest.h>

namespace {

// Counts live elements; its value is left to the array's zero fill.
struct Tracked {
    static int live;
    int value;
    Tracked() { ++live; }
    Tracked& operator=(const Tracked& other) = default;
    ~Tracked() { --live; }
};
int Tracked::live = 0;

using TrackedArray = CcArray<Tracked, Tracked&>;

} // namespace

TEST(CcArray, GrowthSteps)
{
    const struct {
        int size;
        int growBy;
        int newSize;
        int capacity;
    } cases[] = {
        {16, 0, 17, 20},        // an eighth of 16 is raised to 4
        {80, 0, 81, 90},        // an eighth
        {8192, 0, 8193, 9216},  // an eighth is 1024
        {10000, 0, 10001, 11024}, // lowered to 1024
        {16, 0, 21, 21},        // beyond capacity and step: exactly the request
        {10, 3, 11, 13},        // a fixed step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        TrackedArray array;
        array.SetSize(c.size, c.growBy);
        EXPECT_EQ(array.GetCapacity(), c.size) << "the first storage is exactly the request";
        array.SetSize(c.newSize);
        EXPECT_EQ(array.GetSize(), c.newSize);
        EXPECT_EQ(array.GetCapacity(), c.capacity);
        EXPECT_EQ(Tracked::live, c.newSize);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(CcArray, SetAtGrowConstructsZeroFilledElements)
{
    TrackedArray array;
    Tracked five;
    five.value = 5;
    array.SetAtGrow(5, five);
    ASSERT_EQ(array.GetSize(), 6);
    EXPECT_EQ(Tracked::live, 7);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(array[i].value, 0) << i;
    EXPECT_EQ(array[5].value, 5);

    // An element of the array itself stays valid while the storage moves.
    array[0].value = 9;
    array.SetAtGrow(array.GetCapacity(), array[0]);
    EXPECT_EQ(array[array.GetSize() - 1].value, 9);
}

TEST(CcArray, RemovalDestroysElements)
{
    TrackedArray array;
    array.SetSize(6);
    for (int i = 0; i < 6; ++i)
        array[i].value = i;
    array.RemoveAt(1, 2);
    EXPECT_EQ(Tracked::live, 4);
    ASSERT_EQ(array.GetSize(), 4);
    EXPECT_EQ(array.GetCapacity(), 6);
    const int expected[] = {0, 3, 4, 5};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(array[i].value, expected[i]) << i;

    array.SetSize(1);
    EXPECT_EQ(Tracked::live, 1);
    array.SetSize(0, 7);
    EXPECT_EQ(Tracked::live, 0);
    EXPECT_EQ(array.GetCapacity(), 0);

    array.SetSize(3);
    array.RemoveAll();
    EXPECT_EQ(Tracked::live, 0);
    EXPECT_EQ(array.GetGrowBy(), 7) << "RemoveAll keeps the step";
}

TEST(CcArray, RelocationKeepsStringsValid)
{
    CcString shared(L"element");
    {
        CcArray<CcString, CcString&> strings;
        for (int i = 0; i < 100; ++i)
            strings.SetAtGrow(i, shared);
        EXPECT_EQ(shared.GetRefCount(), 101) << "moved bitwise, never copied or destroyed";
        for (int i = 0; i < 100; ++i)
            EXPECT_STREQ(strings[i], L"element") << i;
        strings.RemoveAt(0, 50);
        EXPECT_EQ(shared.GetRefCount(), 51);
    }
    EXPECT_EQ(shared.GetRefCount(), 1);
}
