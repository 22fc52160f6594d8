#pragma once

// Names for the objects a test creates: unique per process and per call, so that
// tests do not meet each other's objects or what an earlier run left behind.
//   std::wstring mutex = UniqueName(L"Guard");   // "AirvaneTest.Guard.<pid>.<n>"

#include <string>

std::wstring UniqueName(const wchar_t* stem);
