#include "foundation/CcException.h"

#include <gtest/gtest.h>

TEST(CheckAllocation, NullRaisesTheMemoryException)
{
    int value = 0;
    EXPECT_EQ(CheckAllocation(&value), &value);
    EXPECT_THROW(CheckAllocation(static_cast<int*>(nullptr)), CcExceptionMemory);
}
