#pragma once

// Cross-process tests: the test program starts itself again as a child that plays
// one role and reports through its exit code. TestMain runs the role instead of
// the tests when the command line is `--child=<role> <args...>`.
//
//   static const ChildRole kProbe(L"probe", [](const std::vector<std::wstring>& args) {
//       return DoSomethingWith(args[0]);             // the child's exit code
//   });
//   EXPECT_EQ(RunChild(L"probe", {name}), 1u);       // starts it, waits, returns the exit code
//
// Arguments are passed quoted and must not contain quotes themselves.

#include <string>
#include <vector>
#include <windows.h>

using ChildMain = int (*)(const std::vector<std::wstring>& args);

// Registers a role; define one as a static object in the test's source file.
class ChildRole {
public:
    ChildRole(const wchar_t* name, ChildMain main);
};

// For TestMain: runs the role the command line asks for. False when it asks for none.
bool RunChildRole(int argc, wchar_t** argv, int* exitCode);

// What RunChild returns when the child could not be started or did not end in time
// (it is then terminated).
constexpr DWORD kNoExitCode = 0xFFFFFFF0;

DWORD RunChild(const wchar_t* role, const std::vector<std::wstring>& args, DWORD timeoutMs = 30000);
