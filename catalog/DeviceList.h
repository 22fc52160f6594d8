#pragma once

#include "catalog/DeviceRecords.h"

// The machine-wide list of WLAN adapters seen so far, under
// HKEY_LOCAL_MACHINE\SOFTWARE\Korvath\Airvane\Device: "DeviceNum" records of
// "%d_DeviceName", "%d_Class" and "%d_HwId". Ordinary users cannot write there,
// so records are appended by the switching service.

// Fills records with the records below "DeviceNum" (name, class and hardware ID),
// up to the first record with a value missing and at most kMostDeviceRecords.
// Returns the count; 0 when there is no list.
int ReadDeviceRecords(TaloDeviceArray& records);

// Appends the device's name, class and hardware ID as the next record. "DeviceNum"
// is raised only once all three values are stored, so no reader meets a record
// with a value missing. Failures (no service, a full list) are not reported.
void AppendDeviceRecord(const TALO_DEVICEINFO& device);
