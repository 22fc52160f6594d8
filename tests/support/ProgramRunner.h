#pragma once

#include <string>

// Test programs and tools beside the test program, by path relative to its folder.
std::wstring PathBesideTest(const std::wstring& relativePath);

// Runs a program to its end with the given arguments; returns its exit code, or -1
// when it could not be started. Its standard output (UTF-8) goes to `output` when given.
int RunProgram(const std::wstring& program, const std::wstring& arguments, std::string* output = nullptr);
