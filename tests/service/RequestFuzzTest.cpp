#include "service/wnp/RequestHandling.h"

#include "automation/BuildPrograms.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "service/ipc/TaloRequest.h"
#include "service/wnp/ServiceLifeCycle.h"
#include "tests/support/FakeDeviceApi.h"
#include "tests/support/SoakFigures.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

// DispatchRequest fed random and mutated blocks in this process: the devices
// are an in-memory fake, the machine's registry is a key of the test's own
// (HKEY_LOCAL_MACHINE overridden for the process), and the text files lie in
// a folder of the test's own beside a copy of the library. An oracle written
// from the rules, apart from the service's checks, decides what may happen.

namespace {

// ---- The rules, as the oracle knows them.

constexpr wchar_t kDeviceKey[] = L"software\\korvath\\airvane\\device";
constexpr wchar_t kFlagKey[] = L"software\\korvath\\quillon\\initialize";

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
    }
    return text;
}

// The text of a field, or nothing when the field holds no terminator.
template <size_t N>
std::optional<std::wstring> FieldText(const wchar_t (&field)[N])
{
    const wchar_t* end = std::find(field, field + N, L'\0');
    if (end == field + N)
        return std::nullopt;
    return std::wstring(field, end);
}

// The index of a record value name such as "12_HwId", with its suffix; -1 when it is none.
long long RecordIndex(const std::wstring& name, std::wstring* suffix)
{
    const size_t underscore = name.find(L'_');
    if (underscore == 0 || underscore == std::wstring::npos || underscore > 10)
        return -1;
    const std::wstring digits = name.substr(0, underscore);
    if (digits.find_first_not_of(L"0123456789") != std::wstring::npos || (digits.size() > 1 && digits[0] == L'0'))
        return -1;
    const long long index = std::stoll(digits);
    if (index > 2147483647LL)
        return -1;
    *suffix = Lower(name.substr(underscore));
    return index;
}

bool IsRecordTextName(const std::wstring& name)
{
    std::wstring suffix;
    return RecordIndex(name, &suffix) >= 0 &&
           (suffix == L"_devicename" || suffix == L"_class" || suffix == L"_hwid");
}

struct StoredValue {
    DWORD type;
    std::vector<BYTE> data;
};
// key (lower case) -> value name (lower case) -> value
using RegistryModel = std::map<std::wstring, std::map<std::wstring, StoredValue>>;

StoredValue DWordValue(DWORD number)
{
    StoredValue value{REG_DWORD, std::vector<BYTE>(4)};
    std::memcpy(value.data.data(), &number, 4);
    return value;
}

StoredValue TextValue(const std::wstring& text)
{
    StoredValue value{REG_SZ, std::vector<BYTE>((text.size() + 1) * sizeof(wchar_t))};
    std::memcpy(value.data.data(), text.c_str(), value.data.size());
    return value;
}

// A device of the fake notebook.
struct NotebookDevice {
    const wchar_t* className;
    std::vector<std::wstring> hardwareIds;
};

const NotebookDevice kDevices[] = {
    {L"Net", {L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01", L"PCI\\VEN_168C&DEV_002B"}},
    {L"Net", {L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06", L"PCI\\VEN_10EC&DEV_8168"}},
    {L"USB", {L"USB\\VID_1E0E&PID_9001&REV_0000", L"USB\\VID_1E0E&PID_9001"}},
    {L"Ports", {L"USB\\VID_1E0E&PID_9001&MI_01"}},
    {L"Modem", {L"USB\\VID_1E0E&PID_9001&MI_02"}},
    {L"Bluetooth", {L"USB\\VID_0A5C&PID_217F"}},
    {L"Image", {L"USB\\VID_04A9&PID_1234"}},
    {L"Volume", {L"STORAGE\\Volume"}},
};

// What the installed text file names: (class, prefix) pairs, prefix empty for a whole class.
const std::pair<const wchar_t*, const wchar_t*> kNamedDevices[] = {
    {L"Bluetooth", L""},
    {L"Image", L"USB\\VID_04A9"},
    {L"USB", L"USB\\VID_1E0E&PID_9001"},
    {L"Ports", L"USB\\VID_1E0E&PID_9001&MI_01"},
    {L"Modem", L"USB\\VID_1E0E&PID_9001&MI_02"},
};

constexpr wchar_t kLanguageIni[] = L"[Folder]\nDefault=English\n0x0407=German\n";
constexpr wchar_t kTestTexts[] = L"[DeviceList]\n0=WLAN\n1=UMTS\n2=Radios\n"
                                L"[Radios]\n0_Class=Bluetooth\n0_HwId=\n1_Class=Image\n1_HwId=USB\\VID_04A9\n"
                                L"[UMTS]\nUMTS0_ROOT_CLASS=USB\nUMTS0_ROOT_HWID=USB\\VID_1E0E&PID_9001\n"
                                L"UMTS0_SUBNUM=2\nUMTS0_SUB0_CLASS=Ports\nUMTS0_SUB0_HWID=USB\\VID_1E0E&PID_9001&MI_01\n"
                                L"UMTS0_SUB1_CLASS=Modem\nUMTS0_SUB1_HWID=USB\\VID_1E0E&PID_9001&MI_02\n";

class Oracle {
public:
    explicit Oracle(RegistryModel& model) : model_(model) {}

    // The value a registry request may write, or nothing.
    std::optional<std::pair<std::wstring, std::wstring>> RegistryWrite(const TALO_REQUEST& r) const
    {
        const auto key = FieldText(r.Body.Registry.KeyPath);
        const auto name = FieldText(r.Body.Registry.ValueName);
        if (!key || !name)
            return std::nullopt;
        const std::wstring k = Lower(*key), n = Lower(*name);
        bool allowed = false;
        if (r.Code == REQ_SET_DWORD) {
            allowed = (k == kDeviceKey && n == L"devicenum") ||
                      (k == kFlagKey && n == L"admission" && r.Body.Registry.Data.Number <= 1);
        } else if (r.Code == REQ_SET_STRING) {
            allowed = k == kDeviceKey && IsRecordTextName(*name) && FieldText(r.Body.Registry.Data.Text);
        }
        if (allowed && k == kDeviceKey)
            allowed = KeepsTheListWhole(r, n);
        if (!allowed)
            return std::nullopt;
        return std::make_pair(k, n);
    }

    // The devices a device request may switch (empty and allowed when none
    // matches), or nothing when it may switch none.
    std::optional<std::set<int>> Switchable(const TALO_REQUEST& r) const
    {
        const auto className = FieldText(r.Body.Device.ClassName);
        const auto prefix = FieldText(r.Body.Device.HwIdPrefix);
        if (!className || !prefix || className->empty())
            return std::nullopt;
        const std::wstring c = Lower(*className), p = Lower(*prefix);
        bool allowed = false;
        for (const auto& [namedClass, namedPrefix] : kNamedDevices)
            allowed = allowed || (c == Lower(namedClass) && p == Lower(namedPrefix));
        allowed = allowed || (c == L"net" && !p.empty() && IsRegisteredAdapter(p));
        if (!allowed)
            return std::nullopt;
        std::set<int> devices;
        for (int i = 0; i < static_cast<int>(std::size(kDevices)); ++i) {
            bool matches = false;
            for (const std::wstring& id : kDevices[i].hardwareIds)
                matches = matches || Lower(id).compare(0, p.size(), p) == 0;
            if (Lower(kDevices[i].className) == c && matches)
                devices.insert(i);
        }
        return devices;
    }

private:
    static constexpr DWORD kMostRecords = 256;

    DWORD Count() const
    {
        const auto key = model_.find(kDeviceKey);
        DWORD count = 0;
        if (key != model_.end()) {
            const auto value = key->second.find(L"devicenum");
            if (value != key->second.end() && value->second.type == REG_DWORD && value->second.data.size() == 4)
                std::memcpy(&count, value->second.data.data(), 4);
        }
        return count;
    }

    // The text of a REG_SZ value of the device list (name in lower case).
    std::optional<std::wstring> Text(const std::wstring& name) const
    {
        const auto key = model_.find(kDeviceKey);
        if (key == model_.end())
            return std::nullopt;
        const auto value = key->second.find(name);
        if (value == key->second.end() || value->second.type != REG_SZ)
            return std::nullopt;
        return std::wstring(reinterpret_cast<const wchar_t*>(value->second.data.data()));
    }

    bool IsWholeRecord(DWORD index) const
    {
        const std::wstring i = std::to_wstring(index);
        return Text(i + L"_devicename") && Text(i + L"_class") && Text(i + L"_hwid");
    }

    // Values of the next record or unchanged ones; the count up by one over a whole record, to 256 at most.
    bool KeepsTheListWhole(const TALO_REQUEST& r, const std::wstring& name) const
    {
        const DWORD count = Count();
        if (r.Code == REQ_SET_DWORD)
            return count < kMostRecords && r.Body.Registry.Data.Number == count + 1 && IsWholeRecord(count);
        const auto stored = Text(name);
        if (stored && *stored == *FieldText(r.Body.Registry.Data.Text))
            return true;
        // A new hardware ID must be a WLAN adapter's, and the fake machine has none
        // that the service could find (no WLAN interfaces, no network cards).
        std::wstring suffix;
        return count < kMostRecords && RecordIndex(name, &suffix) == static_cast<long long>(count) &&
               suffix != L"_hwid";
    }

    // A whole record of the device list, below its count and before any record
    // with a value missing, whose hardware ID is the whole first hardware ID of
    // an installed network adapter.
    bool IsRegisteredAdapter(const std::wstring& p) const
    {
        bool installed = false;
        for (const NotebookDevice& device : kDevices)
            installed = installed || (Lower(device.className) == L"net" && Lower(device.hardwareIds[0]) == p);
        if (!installed)
            return false;
        for (DWORD i = 0; i < Count() && i < kMostRecords && IsWholeRecord(i); ++i) {
            if (Lower(*Text(std::to_wstring(i) + L"_hwid")) == p)
                return true;
        }
        return false;
    }

    RegistryModel& model_;
};

// ---- The blocks.

class BlockMaker {
public:
    explicit BlockMaker(unsigned seed) : random_(seed) {}

    TALO_REQUEST Next()
    {
        TALO_REQUEST block;
        switch (Pick(10)) {
        case 0:
            Noise(&block, sizeof(block));
            break;
        case 1:
        case 2:
            if (!last_.empty()) {
                block = last_[Pick(last_.size())];
                for (int flips = 1 + static_cast<int>(Pick(8)); flips > 0; --flips)
                    reinterpret_cast<BYTE*>(&block)[Pick(sizeof(block))] = static_cast<BYTE>(Pick(256));
                break;
            }
            [[fallthrough]];
        default:
            block = Structured();
            last_.push_back(block);
            if (last_.size() > 64)
                last_.erase(last_.begin());
            break;
        }
        return block;
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    void Noise(void* bytes, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            static_cast<BYTE*>(bytes)[i] = static_cast<BYTE>(Pick(256));
    }

    std::wstring Choose(const std::vector<std::wstring>& choices) { return choices[Pick(choices.size())]; }

    std::wstring RandomText(size_t most)
    {
        std::wstring text(Pick(most + 1), L' ');
        for (wchar_t& c : text)
            c = Pick(4) ? static_cast<wchar_t>(L' ' + Pick(95)) : static_cast<wchar_t>(1 + Pick(0xFFFE));
        return text;
    }

    std::wstring Case(std::wstring text)
    {
        if (Pick(4) == 0) {
            for (wchar_t& c : text)
                c = Pick(2) ? static_cast<wchar_t>(towupper(c)) : static_cast<wchar_t>(towlower(c));
        }
        return text;
    }

    // Text into a field: fitting with its terminator, filling it to the last unit
    // with or without one, and garbage behind the terminator.
    template <size_t N>
    void Put(wchar_t (&field)[N], std::wstring text)
    {
        const size_t shape = Pick(12);
        if (shape == 0)
            text = std::wstring(N, L'x');                  // no terminator
        else if (shape == 1)
            text = text.substr(0, N - 1) + std::wstring(N - 1 - std::min(text.size(), N - 1), L'y'); // exactly full
        text = text.substr(0, N);
        std::copy(text.begin(), text.end(), field);
        if (text.size() < N)
            field[text.size()] = L'\0';
        if (Pick(3) == 0 && text.size() + 1 < N)
            Noise(field + text.size() + 1, (N - text.size() - 1) * sizeof(wchar_t));
    }

    std::wstring RecordName()
    {
        static const std::vector<std::wstring> suffixes = {L"_DeviceName", L"_Class", L"_HwId", L"_hwid",
                                                           L"_Setting", L"_DisplayName", L"_HwIdX", L""};
        static const std::vector<std::wstring> indices = {L"0", L"1", L"2", L"3", L"01", L"00", L"-1",
                                                          L"2147483647", L"2147483648", L"99999999999", L"", L"x"};
        return Choose(indices) + Choose(suffixes);
    }

    TALO_REQUEST Structured()
    {
        TALO_REQUEST block;
        std::memset(&block, 0, sizeof(block));
        if (Pick(4) == 0)
            Noise(&block, sizeof(block));
        static const std::vector<DWORD> codes = {0, 1, 1, 2, 2, 2, 3, 3, 4, 4, 5, 6, 0xFFFFFFFF, 0x80000001};
        block.Code = codes[Pick(codes.size())];
        block.Result = Pick(2) ? -1 : static_cast<LONG>(random_());
        static const std::vector<std::wstring> keys = {
            kDeviceListKey, kDeviceListKey, kCompanionFlagKey, L"SOFTWARE\\Korvath\\Airvane\\Device\\",
            L"\\SOFTWARE\\Korvath\\Airvane\\Device", L"SOFTWARE\\Korvath\\Airvane\\Device\\..\\Setting",
            L"SOFTWARE\\Korvath\\Airvane", kRunKey, L"SOFTWARE\\Korvath\\Airvane\\Device\\Sub", L"", L"SOFTWARE"};
        static const std::vector<std::wstring> names = {kDeviceNumValue, kCompanionFlagValue, L"devicenum", L"",
                                                        L"Admission ", L"DeviceNum\\x"};
        static const std::vector<std::wstring> classes = {L"Net",   L"net",  L"USB",     L"Ports",  L"Modem",
                                                          L"Bluetooth", L"Image", L"Volume", L"", L"#UMTS#"};
        static const std::vector<std::wstring> prefixes = {
            L"",
            L"PCI",
            L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01",
            L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06",
            L"PCI\\VEN_168C&DEV_002B",
            L"USB\\VID_1E0E&PID_9001",
            L"USB\\VID_1E0E&PID_9001&MI_01",
            L"USB\\VID_1E0E&PID_9001&MI_02",
            L"USB\\VID_04A9",
            L"USB\\VID_0A5C",
            L"USB",
            L"STORAGE\\Volume"};
        if (block.Code == REQ_ENABLE_DEVICE || block.Code == REQ_DISABLE_DEVICE || Pick(6) == 0) {
            Put(block.Body.Device.ClassName, Pick(8) ? Case(Choose(classes)) : RandomText(140));
            Put(block.Body.Device.HwIdPrefix, Pick(8) ? Case(Choose(prefixes)) : RandomText(460));
        } else {
            Put(block.Body.Registry.KeyPath, Pick(8) ? Case(Choose(keys)) : RandomText(270));
            Put(block.Body.Registry.ValueName, Pick(3) ? RecordName() : Pick(6) ? Case(Choose(names)) : RandomText(70));
            if (block.Code == REQ_SET_DWORD || Pick(4) == 0) {
                static const std::vector<DWORD> numbers = {0, 1, 2, 3, 9, 0xFFFFFFFF, 0x80000000};
                block.Body.Registry.Data.Number = Pick(4) ? numbers[Pick(numbers.size())] : static_cast<DWORD>(random_());
            } else {
                Put(block.Body.Registry.Data.Text, Pick(4) ? Choose(prefixes) : RandomText(270));
            }
        }
        return block;
    }

    std::mt19937 random_;
    std::vector<TALO_REQUEST> last_;
};

// ---- The machine the test owns.

// HKEY_LOCAL_MACHINE of this process, redirected into a key of the test's own.
class OverriddenMachineKey {
public:
    OverriddenMachineKey() : path_(L"Software\\AirvaneTests\\" + UniqueName(L"Machine"))
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root_.Put(), nullptr);
        overridden_ = root_ && RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_.Get()) == ERROR_SUCCESS;
    }
    ~OverriddenMachineKey()
    {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        root_.Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\AirvaneTests");
    }
    bool IsOverridden() const { return overridden_; }
    HKEY Root() const { return root_.Get(); }

private:
    std::wstring path_;
    RegKey root_;
    bool overridden_ = false;
};

// Every key and value under the root, with lower-cased names.
void ReadTree(HKEY key, const std::wstring& path, RegistryModel& tree, std::set<std::wstring>& keys)
{
    keys.insert(path);
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameChars = ARRAYSIZE(name);
        BYTE data[4096];
        DWORD bytes = sizeof(data);
        DWORD type = REG_NONE;
        if (RegEnumValueW(key, i, name, &nameChars, nullptr, &type, data, &bytes) != ERROR_SUCCESS)
            break;
        tree[path][Lower(name)] = StoredValue{type, std::vector<BYTE>(data, data + bytes)};
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = ARRAYSIZE(name);
        if (RegEnumKeyExW(key, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        RegKey sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.Put()) == ERROR_SUCCESS)
            ReadTree(sub.Get(), path.empty() ? Lower(name) : path + L"\\" + Lower(name), tree, keys);
    }
}

bool SameValue(const StoredValue& a, const StoredValue& b)
{
    return a.type == b.type && a.data == b.data;
}

} // namespace

TEST(RequestFuzz, RandomAndMutatedBlocksDoOnlyWhatIsAllowed)
{
    if (KernelHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName)))
        GTEST_SKIP() << "a switching service runs on this machine";

    // The text files beside a copy of the library, which stands for the service's module.
    TempFolder install;
    ASSERT_TRUE(install.WriteTextFile(L"Language.ini", kLanguageIni));
    ASSERT_TRUE(install.CreateFolder(L"English"));
    ASSERT_TRUE(install.WriteTextFile(L"English\\TALOTXT.ini", kTestTexts));
    const std::wstring library = install.Path() + kServiceLibraryFile;
    ASSERT_TRUE(CopyFileW(ProgramPath(kServiceLibraryFile).c_str(), library.c_str(), FALSE));
    Library module(LoadLibraryW(library.c_str()));
    ASSERT_TRUE(module);
    const HINSTANCE ownModule = g_module;
    g_module = module.Get();

    FakeDeviceApi fake;
    const GUID classGuid = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    std::map<std::wstring, GUID> guids;
    for (const NotebookDevice& device : kDevices) {
        GUID guid = classGuid;
        guid.Data1 += static_cast<DWORD>(std::hash<std::wstring>()(Lower(device.className)) & 0xFFFF);
        if (guids.emplace(device.className, guid).second)
            fake.AddClass(device.className, guid);
        FakeDeviceApi::Device added;
        added.classGuid = guid;
        added.className = device.className;
        added.hardwareIds = device.hardwareIds;
        added.description = std::wstring(L"Device ") + device.className;
        fake.AddDevice(added);
    }
    ScopedDeviceApi useFake(fake);

    OverriddenMachineKey machine;
    ASSERT_TRUE(machine.IsOverridden()) << "HKEY_LOCAL_MACHINE cannot be redirected";
    ASSERT_EQ(g_block.CreateBlock(kRequestBlockSize), 1);

    // The device list as the catalog leaves it: the WLAN adapter registered.
    RegistryModel model;
    {
        RegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDeviceListKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                                  nullptr),
                  ERROR_SUCCESS);
        const StoredValue count = DWordValue(1);
        RegSetValueExW(key.Get(), kDeviceNumValue, 0, REG_DWORD, count.data.data(), 4);
        model[kDeviceKey][L"devicenum"] = count;
        for (const auto& [name, text] : {std::make_pair(L"0_DeviceName", L"Wireless"), std::make_pair(L"0_Class", L"Net"),
                                         std::make_pair(L"0_HwId", kDevices[0].hardwareIds[0].c_str())}) {
            const StoredValue value = TextValue(text);
            RegSetValueExW(key.Get(), name, 0, REG_SZ, value.data.data(), static_cast<DWORD>(value.data.size()));
            model[kDeviceKey][Lower(name)] = value;
        }
    }
    const std::set<std::wstring> allowedKeys = {L"", L"software", L"software\\korvath", L"software\\korvath\\airvane",
                                                kDeviceKey, L"software\\korvath\\quillon", kFlagKey};
    Oracle oracle(model);

    const long long blocks = Figure(20000, 1000000);
    const unsigned seed = GetTickCount();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    BlockMaker maker(seed);
    long long failures = 0, written = 0, switched = 0;
    const auto fail = [&](long long n, const char* what) {
        if (++failures <= 20)
            ADD_FAILURE() << "block " << n << ": " << what;
    };
    for (long long n = 0; n < blocks; ++n) {
        const TALO_REQUEST block = maker.Next();
        fake.calls.clear();
        ASSERT_EQ(g_block.WriteBlock(&block, sizeof(block)), 1);
        DispatchRequest();
        TALO_REQUEST reply;
        ASSERT_EQ(g_block.ReadBlock(&reply, sizeof(reply)), 1);

        LONG expected = block.Result;
        std::optional<std::set<int>> devices;
        if (block.Code == REQ_SET_DWORD || block.Code == REQ_SET_STRING) {
            const auto write = oracle.RegistryWrite(block);
            expected = write ? 0 : -1;
            if (write) {
                const StoredValue value = block.Code == REQ_SET_DWORD
                                              ? DWordValue(block.Body.Registry.Data.Number)
                                              : TextValue(*FieldText(block.Body.Registry.Data.Text));
                model[write->first][write->second] = value;
                ++written;
                RegKey key;
                BYTE data[1024];
                DWORD bytes = sizeof(data), type = REG_NONE;
                if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, write->first.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS ||
                    RegQueryValueExW(key.Get(), write->second.c_str(), nullptr, &type, data, &bytes) != ERROR_SUCCESS ||
                    !SameValue(StoredValue{type, std::vector<BYTE>(data, data + bytes)}, value)) {
                    fail(n, "an allowed value was not written as asked");
                }
            }
        } else if (block.Code == REQ_ENABLE_DEVICE || block.Code == REQ_DISABLE_DEVICE) {
            devices = oracle.Switchable(block);
            expected = devices ? 0 : 1;
        } else if (block.Code == REQ_EJECT_MEDIA) {
            expected = 3; // the fake notebook has no CD-ROM drive
        }
        if (std::memcmp(&reply, &block, offsetof(TALO_REQUEST, Result)) != 0)
            fail(n, "the reply is not the request");
        if (reply.Result != expected)
            fail(n, ("result " + std::to_string(reply.Result) + ", expected " + std::to_string(expected)).c_str());
        for (const FakeDeviceApi::Call& call : fake.CallsOf(FakeDeviceApi::Op::SetParams)) {
            const DWORD change = block.Code == REQ_ENABLE_DEVICE ? DICS_ENABLE : DICS_DISABLE;
            if (!devices || !devices->count(call.device) || call.extra != change)
                fail(n, "a device was switched that the request may not switch");
            ++switched;
        }
        if (!devices && !fake.CallsOf(FakeDeviceApi::Op::CallInstaller).empty())
            fail(n, "the class installer was called for a refused request");

        if (n % 1000 == 999 || n == blocks - 1) {
            RegistryModel tree;
            std::set<std::wstring> keys;
            ReadTree(machine.Root(), L"", tree, keys);
            for (const std::wstring& key : keys) {
                if (!allowedKeys.count(key))
                    fail(n, "a key was created that no request may create");
            }
            for (const auto& [key, values] : tree) {
                for (const auto& [name, value] : values) {
                    const auto known = model[key].find(name);
                    if (known == model[key].end() || !SameValue(known->second, value))
                        fail(n, "a value was written that no request may write");
                }
            }
        }
    }
    g_block.CloseBlock();
    g_module = ownModule;
    ReportCount("blocks-fuzzed", blocks);
    ReportCount("fuzz-failures", failures);
    std::cout << blocks << " blocks: " << written << " values written, " << switched << " device switches\n";
    EXPECT_EQ(failures, 0);
}
