#pragma once

#include "foundation/CcString.h"

// The text of a warning about one device: format is a text of "TALOTXT.ini"
// that names the device with one "%s" ("%%" stands for a percent sign). A text
// with no "%s", more than one, or any other conversion is shown as it stands,
// with the device's name on a line of its own behind it, so that no text can
// make the formatting read arguments it was not given. The result is cut to
// kDeviceMessageChars - 1 characters.
constexpr int kDeviceMessageChars = 1024;

CcString FormatDeviceMessage(const wchar_t* format, const wchar_t* deviceName);
