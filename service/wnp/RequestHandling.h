#pragma once

#include <windows.h>

// The request path of the switching service: read the request out of the
// block, check it, carry it out, write the reply back.

// Carries out the requests, one at a time, until the stop flag is set.
DWORD WINAPI RequestWorker(void* window);

// Copies the request out of the block, carries it out and writes the reply
// back; an unknown code is answered with the request unchanged.
void DispatchRequest();
