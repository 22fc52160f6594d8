#pragma once

// The launcher's command line: the program's path, then anything; the end
// switch (/e, -e, /E or -E, blanks allowed after the slash or hyphen) anywhere
// on it asks a running launcher to end. Everything else is ignored, but a line
// that cannot be read (a switch character at its very end, a word of 1000 or
// more characters) drops the end request. Returns 1 when the end is requested.
int ReadEndSwitch(const wchar_t* commandLine);
