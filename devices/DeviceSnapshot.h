#pragma once

// The devices of each setup class asked about, enumerated once, with their
// hardware IDs and states read once. Code that asks about many devices in a row,
// like a catalog build, passes one snapshot to the queries of DeviceControl.h: it
// does not walk a whole class once per question, and finds the devices of a
// hardware-ID prefix through an index. A snapshot sees the machine as it was
// when a class was first asked about; switching never answers from one.
//
//   CDeviceSnapshot devices;
//   for (...) QueryByHwId(devices, &state, className, hwId);

#include "devices/DeviceApi.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

struct SnapshotDevice {
    HDEVINFO set;
    SP_DEVINFO_DATA data;
    bool idsRead = false;
    std::vector<std::wstring> hardwareIds; // complete entries of the list
    bool stateRead = false;
    int state = 0;
};

class SnapshotClass {
public:
    bool resolved = false; // the class name named setup classes
    std::vector<SnapshotDevice> devices; // in the order of the walk: class GUIDs, then members

    // Positions of the devices that may have an entry beginning with the prefix,
    // in ascending order: a superset of the matches, which the caller checks.
    std::vector<size_t> Candidates(const wchar_t* prefix, size_t prefixLength) const;

    // Builds the index; called once the devices and their hardware IDs are read.
    void Index();

private:
    // Entries of printable ASCII, in upper case, sorted, with their device's position:
    // for those, letter case is all that lstrcmpiW disregards.
    std::vector<std::pair<std::wstring, size_t>> index_;
    std::vector<size_t> unindexed_; // devices with an entry the index cannot hold
};

class CDeviceSnapshot {
public:
    CDeviceSnapshot() = default;
    virtual ~CDeviceSnapshot();
    CDeviceSnapshot(const CDeviceSnapshot&) = delete;
    CDeviceSnapshot& operator=(const CDeviceSnapshot&) = delete;

    // The devices of the class, enumerated when it is first asked about.
    SnapshotClass& Class(const wchar_t* className);
    int State(SnapshotDevice& device);

private:
    std::map<std::wstring, SnapshotClass> classes_;
    std::vector<DeviceInfoSet> sets_;
};
