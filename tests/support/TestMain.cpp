#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

// Test programs are linked with -municode like the product, so the entry point is wmain.
// Started with --child=<role>, the program plays that role for a cross-process test instead.
int wmain(int argc, wchar_t** argv)
{
    int exitCode = 0;
    if (RunChildRole(argc, argv, &exitCode))
        return exitCode;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
