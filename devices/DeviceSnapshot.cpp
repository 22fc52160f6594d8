#include "devices/DeviceSnapshot.h"

#include "devices/DeviceProperties.h"

#include <algorithm>

namespace {

bool IsIndexable(const wchar_t* text, size_t length)
{
    return std::all_of(text, text + length, [](wchar_t c) { return c >= 0x20 && c <= 0x7E; });
}

std::wstring UpperAscii(const wchar_t* text, size_t length)
{
    std::wstring upper(text, length);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return upper;
}

} // namespace

CDeviceSnapshot::~CDeviceSnapshot() = default;

SnapshotClass& CDeviceSnapshot::Class(const wchar_t* className)
{
    const auto known = classes_.find(className);
    if (known != classes_.end())
        return known->second;
    SnapshotClass& entry = classes_[className];
    DWORD count = 0;
    const std::unique_ptr<GUID[]> guids = ResolveClassGuids(className, count);
    if (!guids)
        return entry;
    entry.resolved = true;
    WalkClassDevices(
        guids.get(), count,
        [&](HDEVINFO set, SP_DEVINFO_DATA& data) {
            SnapshotDevice device;
            device.set = set;
            device.data = data;
            PropertyBuffer ids;
            device.idsRead = ReadProperty(set, data, SPDRP_HARDWAREID, ids);
            if (device.idsRead)
                device.hardwareIds = HardwareIdEntries(ids);
            entry.devices.push_back(std::move(device));
            return true;
        },
        &sets_);
    entry.Index();
    return entry;
}

int CDeviceSnapshot::State(SnapshotDevice& device)
{
    if (!device.stateRead) {
        device.state = ReadDeviceState(device.data);
        device.stateRead = true;
    }
    return device.state;
}

void SnapshotClass::Index()
{
    index_.clear();
    unindexed_.clear();
    for (size_t position = 0; position < devices.size(); ++position) {
        const SnapshotDevice& device = devices[position];
        bool indexable = true;
        for (const std::wstring& entry : device.hardwareIds)
            indexable = indexable && IsIndexable(entry.data(), entry.size());
        if (!indexable) {
            unindexed_.push_back(position);
            continue;
        }
        for (const std::wstring& entry : device.hardwareIds)
            index_.emplace_back(UpperAscii(entry.data(), entry.size()), position);
    }
    std::sort(index_.begin(), index_.end());
}

std::vector<size_t> SnapshotClass::Candidates(const wchar_t* prefix, size_t prefixLength) const
{
    std::vector<size_t> positions;
    if (!IsIndexable(prefix, prefixLength)) {
        for (size_t position = 0; position < devices.size(); ++position)
            positions.push_back(position);
        return positions;
    }
    const std::wstring key = UpperAscii(prefix, prefixLength);
    for (auto it = std::lower_bound(index_.begin(), index_.end(), std::make_pair(key, size_t(0)));
         it != index_.end() && it->first.compare(0, key.size(), key) == 0; ++it)
        positions.push_back(it->second);
    positions.insert(positions.end(), unindexed_.begin(), unindexed_.end());
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}
