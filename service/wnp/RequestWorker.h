#pragma once

#include <windows.h>

// Carries out the requests, one at a time, until the stop flag is set.
DWORD WINAPI RequestWorker(void* window);
