#pragma once

#include <string>
#include <windows.h>

// Where a module lies. module nullptr is the running program.

// The full path of module, however long; empty when it cannot be read.
std::wstring ModulePath(HMODULE module);

// The folder of module with its trailing separator; empty when the path cannot be read.
std::wstring ModuleFolder(HMODULE module);
