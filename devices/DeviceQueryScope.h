#pragma once

#include <memory>

class CDeviceSnapshot;

// While a scope lives, the queries of DeviceCtlByClass, DeviceCtlByHwId (mode 0)
// and GetHwIdFromDesc on the thread that made it enumerate each setup class once
// and answer from what they found then: code that asks about many devices in a
// row, like the catalog, does not walk a whole class once per question, and finds
// the devices of a hardware-ID prefix through an index. A scope made inside
// another shares the outer one's snapshot. Switching never answers from a
// snapshot, and drops what the snapshot has read.
//
//   DeviceQueryScope scope;
//   for (...) DeviceCtlByHwId(0, &state, className, hwId, nullptr);
class DeviceQueryScope {
public:
    DeviceQueryScope();
    virtual ~DeviceQueryScope();
    DeviceQueryScope(const DeviceQueryScope&) = delete;
    DeviceQueryScope& operator=(const DeviceQueryScope&) = delete;

private:
    std::unique_ptr<CDeviceSnapshot> snapshot_; // null in a scope inside another
};
