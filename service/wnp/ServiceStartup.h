#pragma once

#include <windows.h>

// Starts the switching service on a thread of its own and returns at once:
// not in a fail-safe boot, and only in the first instance on the machine.
// The argument is the logon process's notification information, not used.
extern "C" void WINAPI Startup(void* notification);
