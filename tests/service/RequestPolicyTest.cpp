#include "service/wnp/RequestPolicy.h"

#include "foundation/Names.h"
#include "tests/service/TestRequests.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

constexpr wchar_t kDeviceList[] = L"SOFTWARE\\Korvath\\Airvane\\Device";
constexpr wchar_t kCompanion[] = L"Software\\Korvath\\quillon\\Initialize";

} // namespace

TEST(RequestPolicy, RegistryWritesAreThoseOfTheSystemsOwnPrograms)
{
    const struct {
        const char* what;
        DWORD code;
        std::wstring key;
        std::wstring value;
        DWORD number;
        bool permitted;
    } cases[] = {
        {"record count", REQ_SET_DWORD, kDeviceList, L"DeviceNum", 7, true},
        {"key in other case", REQ_SET_DWORD, L"software\\KORVATH\\airvane\\DEVICE", L"DeviceNum", 7, true},
        {"value name in other case", REQ_SET_DWORD, kDeviceList, L"devicenum", 7, true},
        {"record name", REQ_SET_STRING, kDeviceList, L"0_DeviceName", 0, true},
        {"record class", REQ_SET_STRING, kDeviceList, L"12_Class", 0, true},
        {"largest record", REQ_SET_STRING, kDeviceList, L"2147483647_HwId", 0, true},
        {"record field in other case", REQ_SET_STRING, kDeviceList, L"3_hwid", 0, true},
        {"companion flag off", REQ_SET_DWORD, kCompanion, L"Admission", 0, true},
        {"companion flag on", REQ_SET_DWORD, L"SOFTWARE\\Korvath\\Quillon\\Initialize", L"Admission", 1, true},

        {"companion flag 2", REQ_SET_DWORD, kCompanion, L"Admission", 2, false},
        {"companion flag as text", REQ_SET_STRING, kCompanion, L"Admission", 0, false},
        {"record count as text", REQ_SET_STRING, kDeviceList, L"DeviceNum", 0, false},
        {"record field as number", REQ_SET_DWORD, kDeviceList, L"0_Class", 0, false},
        {"other value", REQ_SET_STRING, kDeviceList, L"0_Setting", 0, false},
        {"other value of the flag key", REQ_SET_DWORD, kCompanion, L"DeviceNum", 0, false},
        {"empty value name", REQ_SET_DWORD, kDeviceList, L"", 0, false},
        {"leading zero", REQ_SET_STRING, kDeviceList, L"01_Class", 0, false},
        {"no index", REQ_SET_STRING, kDeviceList, L"_Class", 0, false},
        {"negative index", REQ_SET_STRING, kDeviceList, L"-1_Class", 0, false},
        {"index beyond int", REQ_SET_STRING, kDeviceList, L"2147483648_HwId", 0, false},
        {"suffix longer", REQ_SET_STRING, kDeviceList, L"1_ClassName", 0, false},
        {"letters for digits", REQ_SET_STRING, kDeviceList, L"x_Class", 0, false},
        {"autostart key", REQ_SET_STRING, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Kestrune", 0, false},
        {"sub-key", REQ_SET_DWORD, L"SOFTWARE\\Korvath\\Airvane\\Device\\Sub", L"DeviceNum", 0, false},
        {"parent key", REQ_SET_DWORD, L"SOFTWARE\\Korvath\\Airvane", L"DeviceNum", 0, false},
        {"dot-dot at the end", REQ_SET_DWORD, L"SOFTWARE\\Korvath\\Airvane\\Device\\..", L"DeviceNum", 0, false},
        {"dot-dot inside", REQ_SET_DWORD, L"SOFTWARE\\Korvath\\..\\Korvath\\Airvane\\Device", L"DeviceNum", 0, false},
        {"doubled backslash", REQ_SET_DWORD, L"SOFTWARE\\\\Korvath\\Airvane\\Device", L"DeviceNum", 0, false},
        {"leading backslash", REQ_SET_DWORD, L"\\SOFTWARE\\Korvath\\Airvane\\Device", L"DeviceNum", 0, false},
        {"trailing backslash", REQ_SET_DWORD, L"SOFTWARE\\Korvath\\Airvane\\Device\\", L"DeviceNum", 0, false},
        {"Kelvin sign for K", REQ_SET_DWORD, L"SOFTWARE\x212Aorvath\\Airvane\\Device", L"DeviceNum", 0, false},
        {"empty key", REQ_SET_DWORD, L"", L"DeviceNum", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TALO_REQUEST request = RegistryRequest(c.code, c.key, c.value, c.number, L"text");
        EXPECT_EQ(IsPermittedRegistryRequest(request), c.permitted);
    }
}

TEST(RequestPolicy, RegistryFieldsMustBeTerminatedWithinThemselves)
{
    TALO_REQUEST key = RegistryRequest(REQ_SET_DWORD, kDeviceList, L"DeviceNum");
    FillWithoutTerminator(key.Body.Registry.KeyPath);
    EXPECT_FALSE(IsPermittedRegistryRequest(key));

    TALO_REQUEST value = RegistryRequest(REQ_SET_DWORD, kDeviceList, L"DeviceNum");
    FillWithoutTerminator(value.Body.Registry.ValueName);
    EXPECT_FALSE(IsPermittedRegistryRequest(value));

    TALO_REQUEST text = RegistryRequest(REQ_SET_STRING, kDeviceList, L"0_Class", 0, L"Net");
    FillWithoutTerminator(text.Body.Registry.Data.Text);
    EXPECT_FALSE(IsPermittedRegistryRequest(text));

    // The number does not use the text's bytes.
    TALO_REQUEST number = RegistryRequest(REQ_SET_DWORD, kDeviceList, L"DeviceNum", 0xFFFFFFFF);
    FillWithoutTerminator(number.Body.Registry.Data.Text);
    number.Body.Registry.Data.Number = 4;
    EXPECT_TRUE(IsPermittedRegistryRequest(number));

    TALO_REQUEST notRegistry = RegistryRequest(REQ_SET_DWORD, kDeviceList, L"DeviceNum");
    notRegistry.Code = REQ_EJECT_MEDIA;
    EXPECT_FALSE(IsPermittedRegistryRequest(notRegistry));
}

TEST(RequestPolicy, DeviceRecordIndexReadsTheDecimalPrefix)
{
    EXPECT_EQ(DeviceRecordIndex(L"0_HwId", L"_HwId"), 0);
    EXPECT_EQ(DeviceRecordIndex(L"42_HwId", L"_HwId"), 42);
    EXPECT_EQ(DeviceRecordIndex(L"42_hwid", L"_HwId"), 42);
    EXPECT_EQ(DeviceRecordIndex(L"42_Class", L"_HwId"), -1);
    EXPECT_EQ(DeviceRecordIndex(L"00_HwId", L"_HwId"), -1);
    EXPECT_EQ(DeviceRecordIndex(L"99999999999999999999_HwId", L"_HwId"), -1);
}

namespace {

// A stored device list of DeviceNum and the text values given; value names as stored.
class ListOf : public CStoredDeviceList {
public:
    ListOf(DWORD count, std::map<std::wstring, std::wstring> values) : count_(count), values_(std::move(values)) {}
    DWORD Count() const override { return count_; }
    bool Text(const std::wstring& valueName, std::wstring& text) const override
    {
        const auto value = values_.find(valueName);
        if (value == values_.end())
            return false;
        text = value->second;
        return true;
    }

private:
    DWORD count_;
    std::map<std::wstring, std::wstring> values_;
};

// One WLAN adapter registered, as the programs leave the list.
const std::map<std::wstring, std::wstring> kOneRecord = {
    {L"0_DeviceName", L"Wireless"}, {L"0_Class", L"Net"}, {L"0_HwId", kWlanAdapter}};

std::map<std::wstring, std::wstring> WithRecord(std::map<std::wstring, std::wstring> values, int index)
{
    const std::wstring i = std::to_wstring(index);
    values[i + L"_DeviceName"] = L"Wired";
    values[i + L"_Class"] = L"Net";
    values[i + L"_HwId"] = kEthernetAdapter;
    return values;
}

} // namespace

TEST(RequestPolicy, TheDeviceListOnlyGrowsByWholeRecords)
{
    const ListOf empty(0, {});
    const ListOf one(1, kOneRecord);
    const ListOf nextWritten(1, WithRecord(kOneRecord, 1));
    std::map<std::wstring, std::wstring> partial = WithRecord(kOneRecord, 1);
    partial.erase(L"1_Class");
    const ListOf nextPartial(1, partial);
    std::map<std::wstring, std::wstring> full;
    for (int i = 0; i < kMostDeviceRecords; ++i)
        full = WithRecord(full, i);
    const ListOf almostFull(kMostDeviceRecords - 1, full);
    const ListOf isFull(kMostDeviceRecords, full);
    const ListOf beyond(2147483647, kOneRecord);
    const struct {
        const char* what;
        const ListOf& list;
        DWORD code;
        std::wstring value;
        DWORD number;
        std::wstring text;
        bool allowed;
    } cases[] = {
        {"first record's name", empty, REQ_SET_STRING, L"0_DeviceName", 0, L"Wireless", true},
        {"next record's hardware ID", one, REQ_SET_STRING, L"1_HwId", 0, kEthernetAdapter, true},
        {"next record's class again, other text", nextWritten, REQ_SET_STRING, L"1_Class", 0, L"USB", true},
        {"stored value rewritten with its text", one, REQ_SET_STRING, L"0_HwId", 0, kWlanAdapter, true},
        {"count raised over a whole record", nextWritten, REQ_SET_DWORD, L"DeviceNum", 2, L"", true},
        {"last record's count", almostFull, REQ_SET_DWORD, L"DeviceNum", kMostDeviceRecords, L"", true},
        {"companion flag", empty, REQ_SET_DWORD, L"Admission", 1, L"", true},

        {"stored record overwritten", one, REQ_SET_STRING, L"0_HwId", 0, kEthernetAdapter, false},
        {"stored text in other case", one, REQ_SET_STRING, L"0_Class", 0, L"NET", false},
        {"record beyond the next", one, REQ_SET_STRING, L"2_HwId", 0, kEthernetAdapter, false},
        {"largest index", one, REQ_SET_STRING, L"2147483647_HwId", 0, kEthernetAdapter, false},
        {"record beyond the most", isFull, REQ_SET_STRING, L"256_HwId", 0, kEthernetAdapter, false},
        {"a record at a poisoned count", beyond, REQ_SET_STRING, L"2147483647_Class", 0, L"Net", false},
        {"count raised without the record", one, REQ_SET_DWORD, L"DeviceNum", 2, L"", false},
        {"count raised over a partial record", nextPartial, REQ_SET_DWORD, L"DeviceNum", 2, L"", false},
        {"count raised by two", nextWritten, REQ_SET_DWORD, L"DeviceNum", 3, L"", false},
        {"count kept", nextWritten, REQ_SET_DWORD, L"DeviceNum", 1, L"", false},
        {"count lowered", nextWritten, REQ_SET_DWORD, L"DeviceNum", 0, L"", false},
        {"count of days of loops", one, REQ_SET_DWORD, L"DeviceNum", 2147483647, L"", false},
        {"count beyond the most", isFull, REQ_SET_DWORD, L"DeviceNum", kMostDeviceRecords + 1, L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring key = c.value == L"Admission" ? kCompanion : kDeviceList;
        const TALO_REQUEST request = RegistryRequest(c.code, key, c.value, c.number, c.text);
        ASSERT_TRUE(IsPermittedRegistryRequest(request));
        EXPECT_EQ(IsAllowedDeviceListWrite(request, c.list), c.allowed);
    }
}

namespace {

CDevicePolicy NotebookPolicy()
{
    CDevicePolicy policy;
    policy.AddNamedDevice(L"USB", kModemRoot);
    policy.AddNamedDevice(L"Ports", kModemPort);
    policy.AddNamedDevice(L"Bluetooth", L"");
    policy.AddRegisteredHwId(kWlanAdapter);
    return policy;
}

} // namespace

TEST(RequestPolicy, DevicesAreThoseTheSystemManages)
{
    const CDevicePolicy policy = NotebookPolicy();
    const struct {
        const char* what;
        std::wstring className;
        std::wstring prefix;
        bool permitted;
    } cases[] = {
        {"modem root", L"USB", kModemRoot, true},
        {"modem port in other case", L"ports", L"usb\\vid_1e0e&pid_9001&mi_01", true},
        {"a whole class the text file names", L"Bluetooth", L"", true},
        {"registered adapter", L"Net", kWlanAdapter, true},
        {"registered adapter, class in other case", L"NET", kWlanAdapter, true},

        {"shorter prefix", L"USB", L"USB\\VID_1E0E", false},
        {"longer prefix", L"USB", std::wstring(kModemRoot) + L"&MI_00", false},
        {"whole class of a named prefix", L"USB", L"", false},
        {"prefix with a trailing space", L"USB", std::wstring(kModemRoot) + L" ", false},
        {"class and prefix of different entries", L"Ports", kModemRoot, false},
        {"unmanaged class", L"Modem", L"USB\\VID_1E0E&PID_9001&MI_02", false},
        {"part of a class", L"Bluetooth", L"USB", false},
        {"every network adapter", L"Net", L"", false},
        {"part of a registered ID", L"Net", L"PCI\\VEN_168C&DEV_002B", false},
        {"registered ID in another class", L"USB", kWlanAdapter, false},
        {"empty class", L"", L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsPermittedDeviceRequest(DeviceRequest(REQ_ENABLE_DEVICE, c.className, c.prefix), policy), c.permitted);
        EXPECT_EQ(IsPermittedDeviceRequest(DeviceRequest(REQ_DISABLE_DEVICE, c.className, c.prefix), policy),
                  c.permitted);
    }
    EXPECT_FALSE(IsPermittedDeviceRequest(DeviceRequest(REQ_SET_STRING, L"USB", kModemRoot), policy));
}

TEST(RequestPolicy, DeviceFieldsMustBeTerminatedWithinThemselves)
{
    CDevicePolicy policy;
    const std::wstring longestClass(127, L'c');
    const std::wstring longestPrefix(447, L'p');
    policy.AddNamedDevice(longestClass, longestPrefix);
    EXPECT_TRUE(IsPermittedDeviceRequest(DeviceRequest(REQ_ENABLE_DEVICE, longestClass, longestPrefix), policy));

    TALO_REQUEST className = DeviceRequest(REQ_ENABLE_DEVICE, longestClass, longestPrefix);
    className.Body.Device.ClassName[127] = L'c'; // the text would go on into the prefix
    EXPECT_FALSE(IsPermittedDeviceRequest(className, policy));

    TALO_REQUEST prefix = DeviceRequest(REQ_ENABLE_DEVICE, longestClass, longestPrefix);
    FillWithoutTerminator(prefix.Body.Device.HwIdPrefix);
    EXPECT_FALSE(IsPermittedDeviceRequest(prefix, policy));
}
