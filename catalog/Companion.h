#pragma once

// The companion program of the same maker. After every preset it learns,
// through the machine-wide flag "Admission", whether the preset switched
// nothing off; when so, it is also started.

// Reads the companion program's path ("AppPath" under HKLM) into the
// process-wide path buffer. Returns 1 when a path was found; 0, with the
// buffer empty, when none is set or it does not fit the buffer.
int ReadUpdaterPath();

// With a path read: "Admission" 1 through the service, then the program is
// started with the verb "open". Without one: nothing.
void GrantAdmission();

// With a path read: "Admission" 0 through the service. Without one: nothing.
void RevokeAdmission();
