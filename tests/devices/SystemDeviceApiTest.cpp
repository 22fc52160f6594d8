// The system binding under Wine, against the devices Wine lists in its own registry.
#include "devices/DeviceApi.h"
#include "devices/DeviceControl.h"
#include "devices/Eject.h"

#include <gtest/gtest.h>
#include <wlanapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kEnumKey[] = L"System\\CurrentControlSet\\Enum";

std::wstring ReadString(HKEY key, const wchar_t* name, DWORD expectedType = REG_SZ)
{
    wchar_t buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer) - 2 * sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != expectedType)
        return std::wstring();
    return buffer; // a multi-string yields its first entry
}

std::vector<std::wstring> SubKeys(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    DWORD length = ARRAYSIZE(name);
    for (DWORD i = 0; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = ARRAYSIZE(name))
        names.push_back(name);
    return names;
}

// A device as Wine's registry describes it, under Enum\<enumerator>\<device>\<instance>.
struct WineDevice {
    std::wstring enumerator;
    std::wstring className;
    std::wstring classGuid;
    std::wstring description;
    std::wstring friendlyName;
    std::wstring firstHardwareId;
};

// The first device with a class, a description and a hardware ID, if Wine lists any.
bool FindWineDevice(WineDevice& found)
{
    RegKey enumKey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEnumKey, 0, KEY_READ, enumKey.Put()) != ERROR_SUCCESS)
        return false;
    for (const std::wstring& enumerator : SubKeys(enumKey.Get())) {
        RegKey enumeratorKey;
        RegOpenKeyExW(enumKey.Get(), enumerator.c_str(), 0, KEY_READ, enumeratorKey.Put());
        for (const std::wstring& device : SubKeys(enumeratorKey.Get())) {
            RegKey deviceKey;
            RegOpenKeyExW(enumeratorKey.Get(), device.c_str(), 0, KEY_READ, deviceKey.Put());
            for (const std::wstring& instance : SubKeys(deviceKey.Get())) {
                RegKey key;
                RegOpenKeyExW(deviceKey.Get(), instance.c_str(), 0, KEY_READ, key.Put());
                WineDevice candidate = {enumerator,
                                        ReadString(key.Get(), L"Class"),
                                        ReadString(key.Get(), L"ClassGUID"),
                                        ReadString(key.Get(), L"DeviceDesc"),
                                        ReadString(key.Get(), L"FriendlyName"),
                                        ReadString(key.Get(), L"HardwareID", REG_MULTI_SZ)};
                if (!candidate.className.empty() && !candidate.classGuid.empty() && !candidate.description.empty() &&
                    candidate.description[0] != L'@' && !candidate.firstHardwareId.empty()) {
                    found = candidate;
                    return true;
                }
            }
        }
    }
    return false;
}

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[40];
    swprintf(text, ARRAYSIZE(text), L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

class SystemDeviceApiTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!FindWineDevice(device))
            GTEST_SKIP() << "Wine lists no device with a class, a description and a hardware ID in " << "HKLM\\"
                         << "System\\CurrentControlSet\\Enum";
        std::printf("  Wine's device \"%ls\" (%ls), class %ls\n", device.description.c_str(),
                    device.firstHardwareId.c_str(), device.className.c_str());
    }

    WineDevice device;
};

TEST_F(SystemDeviceApiTest, ResolvesTheClassOfAWineDevice)
{
    GUID guids[16];
    DWORD count = 0;
    ASSERT_TRUE(DeviceApi().SetupDiClassGuidsFromNameExW(device.className.c_str(), guids, ARRAYSIZE(guids), &count,
                                                         nullptr, nullptr))
        << GetLastError();
    std::vector<std::wstring> texts;
    for (DWORD i = 0; i < count; ++i)
        texts.push_back(GuidText(guids[i]));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::wstring& text) {
        return lstrcmpiW(text.c_str(), device.classGuid.c_str()) == 0;
    })) << "class " << testing::PrintToString(device.className);
}

TEST_F(SystemDeviceApiTest, WalksTheClassAndReadsItsDevicesProperties)
{
    SCOPED_TRACE(testing::Message() << "class " << testing::PrintToString(device.className) << ", device "
                                    << testing::PrintToString(device.firstHardwareId));
    wchar_t hwId[kDevicePropertyChars] = L"";
    ASSERT_EQ(1, GetHwIdFromDesc(device.description.c_str(), device.className.c_str(), hwId, ARRAYSIZE(hwId)));
    EXPECT_EQ(device.firstHardwareId, hwId);

    wchar_t name[kDevicePropertyChars] = L"";
    int state = 42;
    EXPECT_EQ(1, DeviceCtlByHwId(0, &state, device.className.c_str(), hwId, nullptr, name, ARRAYSIZE(name)));
    EXPECT_FALSE(std::wstring(name).empty());
    EXPECT_TRUE(name == device.description || name == device.friendlyName) << testing::PrintToString(name);
    // Wine's configuration manager reports every device it knows as started.
    EXPECT_EQ(DEVSTAT_ENABLED, state);

    state = 42;
    EXPECT_EQ(1, DeviceCtlByClass(device.className.c_str(), 0, &state, nullptr));
    EXPECT_EQ(DEVSTAT_ENABLED, state);
}

TEST_F(SystemDeviceApiTest, ListsAnEnumeratorsDevicesOfEveryClass)
{
    IDeviceApi& api = DeviceApi();
    DeviceInfoSet set(api.SetupDiGetClassDevsW(nullptr, device.enumerator.c_str(), nullptr, DIGCF_ALLCLASSES));
    ASSERT_TRUE(set) << GetLastError();
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof(data);
    std::vector<std::wstring> classes;
    for (DWORD i = 0; api.SetupDiEnumDeviceInfo(set.Get(), i, &data); ++i) {
        DWORD size = 0;
        api.SetupDiGetDeviceRegistryPropertyW(set.Get(), &data, SPDRP_CLASS, nullptr, nullptr, 0, &size);
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1);
        if (size && api.SetupDiGetDeviceRegistryPropertyW(set.Get(), &data, SPDRP_CLASS, nullptr,
                                                          reinterpret_cast<BYTE*>(text.data()), size, nullptr))
            classes.push_back(text.data());
    }
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, GetLastError());
    EXPECT_NE(classes.end(), std::find(classes.begin(), classes.end(), device.className))
        << "enumerator " << testing::PrintToString(device.enumerator);
}

TEST(SystemDeviceApi, FindsNoRemovableDriveOrBluetoothStackUnderWine)
{
    RegKey ide;
    RegKey usbStorage;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Enum\\IDE", 0, KEY_READ, ide.Put()) ==
            ERROR_SUCCESS ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Enum\\USBSTOR", 0, KEY_READ,
                      usbStorage.Put()) == ERROR_SUCCESS)
        GTEST_SKIP() << "this prefix lists IDE or USB storage devices";
    EXPECT_EQ(EJECT_NOT_FOUND, EjectCdromDevice());

    const GUID control = {0x2F5831D5, 0x96CA, 0x461F, {0x80, 0x12, 0x41, 0x32, 0xF5, 0x6F, 0xEB, 0xA3}};
    IDeviceApi& api = DeviceApi();
    DeviceInfoSet set(api.SetupDiGetClassDevsW(&control, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    ASSERT_TRUE(set) << GetLastError();
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(api.SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &control, 0, &data));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, GetLastError());
}

TEST(SystemDeviceApi, BindsTheWlanLibraryAtRunTime)
{
    IDeviceApi& api = DeviceApi();
    DeviceLibrary library(api.LoadLibraryW(L"Wlanapi.dll"));
    if (!library)
        GTEST_SKIP() << "Wlanapi.dll does not load here (" << GetLastError() << ")";
    const auto open = reinterpret_cast<decltype(&WlanOpenHandle)>(
        reinterpret_cast<void (*)()>(api.GetProcAddress(library.Get(), "WlanOpenHandle")));
    const auto enumerate = reinterpret_cast<decltype(&WlanEnumInterfaces)>(
        reinterpret_cast<void (*)()>(api.GetProcAddress(library.Get(), "WlanEnumInterfaces")));
    const auto freeMemory = reinterpret_cast<decltype(&WlanFreeMemory)>(
        reinterpret_cast<void (*)()>(api.GetProcAddress(library.Get(), "WlanFreeMemory")));
    const auto close = reinterpret_cast<decltype(&WlanCloseHandle)>(
        reinterpret_cast<void (*)()>(api.GetProcAddress(library.Get(), "WlanCloseHandle")));
    ASSERT_TRUE(open && enumerate && freeMemory && close);
    EXPECT_EQ(nullptr, api.GetProcAddress(library.Get(), "WlanNoSuchEntry"));

    DWORD negotiated = 0;
    HANDLE client = nullptr;
    const DWORD opened = open(2, nullptr, &negotiated, &client);
    if (opened != ERROR_SUCCESS)
        GTEST_SKIP() << "the WLAN service does not answer here (" << opened << ")";
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), enumerate(client, nullptr, &list));
    if (list)
        freeMemory(list);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), close(client, nullptr));
}

} // namespace
