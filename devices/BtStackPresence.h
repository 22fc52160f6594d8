#pragma once

// Whether the Bluetooth stack handled by CBtSwPowerCtl is installed: 1 when the
// "Enum" key of its service "Kvrfusb" (or "Kvrfbd") opens, else 0.
int IsKvrfusbPresent();
int IsKvrfbdPresent();
