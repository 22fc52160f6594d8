#include <gtest/gtest.h>

// Test programs are linked with -municode like the product, so the entry point is wmain.
int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
