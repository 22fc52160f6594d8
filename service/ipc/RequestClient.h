#pragma once

#include "service/ipc/TaloRequest.h"

// The client side of the request channel. Each call is one synchronous
// exchange with the switching service, serialised across all processes.

// Performs one exchange; on return the block holds the reply, or Result -1
// when the service could not be reached.
void SendRequest(TALO_REQUEST& block);

// REQ_SET_DWORD / REQ_SET_STRING: true exactly when the service answered 0.
// A string that does not fit its field is refused: nothing is sent, false.
bool RequestSetDWord(const wchar_t* keyPath, const wchar_t* valueName, DWORD number);
bool RequestSetString(const wchar_t* keyPath, const wchar_t* valueName, const wchar_t* text);

// REQ_ENABLE_DEVICE / REQ_DISABLE_DEVICE: the result word unchanged
// (0 success, 2 success that takes effect after a restart, 1 the device
// operation failed, -1 no service). A class name or
// prefix that does not fit its field is refused: nothing is sent, 1.
int RequestEnableDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
int RequestDisableDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
