#pragma once

#include "foundation/CTextMgr.h"

#include <cstddef>

// Values of the device sections are held in fields of 128 characters. A longer
// value is never cut (a cut class or hardware ID would name other devices): the
// entry that holds it counts as missing.
constexpr size_t kTextFieldChars = 128;
using TextField = wchar_t[kTextFieldChars];

// Reads key of the manager's current section into field; false, with field empty,
// when the value does not fit.
bool ReadTextField(CTextMgr& text, const wchar_t* key, TextField& field);

// True when the text fits a field: at most 127 characters.
bool FitsTextField(const wchar_t* text);
