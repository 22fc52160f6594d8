#pragma once

// Resource ids of the launcher. Read by the resource compiler as well as by
// C++: plain #defines only.

// The tray and window icon: a radio mast on a blue tile.
#define IDI_LAUNCHER 101
