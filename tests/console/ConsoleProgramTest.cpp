// airvane.exe on the simulated notebook, with the service running: its JSON
// against the notebook, presets applied by number and by name, types switched,
// and the exit code of every outcome.
#include "automation/BuildPrograms.h"
#include "automation/InstalledService.h"
#include "automation/ProgramRunner.h"
#include "automation/RegistrySnapshot.h"
#include "catalog/PresetInForce.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"
#include "tests/settings/SettingsInstall.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace testdevice;

namespace {

// A JSON value as the test reads it: enough of the grammar for airvane's output.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    double number = 0;
    std::string text; // UTF-8
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const char* key) const
    {
        static const Json missing;
        const auto found = members.find(key);
        return found == members.end() ? missing : found->second;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    // False unless the whole text is one value.
    bool Read(Json& value)
    {
        return Value(value) && (Blanks(), at_ == text_.size());
    }

private:
    void Blanks()
    {
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]))
            ++at_;
    }

    bool Take(const char* word)
    {
        const size_t length = std::strlen(word);
        if (text_.compare(at_, length, word) != 0)
            return false;
        at_ += length;
        return true;
    }

    static void AppendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool StringBody(std::string& out)
    {
        while (at_ < text_.size() && text_[at_] != '"') {
            const char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size())
                return false;
            const char e = text_[at_++];
            const char* simple = std::strchr("\"\\/bfnrt", e);
            if (e == 'u' && at_ + 4 <= text_.size()) {
                AppendUtf8(out, std::stoul(text_.substr(at_, 4), nullptr, 16));
                at_ += 4;
            } else if (simple && e != 'u') {
                out += "\"\\/\b\f\n\r\t"[simple - "\"\\/bfnrt"];
            } else {
                return false;
            }
        }
        return Take("\"");
    }

    bool Value(Json& value)
    {
        Blanks();
        if (Take("null"))
            return true;
        if (Take("true") || Take("false")) {
            value.kind = Json::Bool;
            value.flag = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
            return true;
        }
        if (Take("\"")) {
            value.kind = Json::String;
            return StringBody(value.text);
        }
        if (Take("[")) {
            value.kind = Json::Array;
            Blanks();
            if (Take("]"))
                return true;
            do {
                value.items.emplace_back();
                if (!Value(value.items.back()))
                    return false;
                Blanks();
            } while (Take(","));
            return Take("]");
        }
        if (Take("{")) {
            value.kind = Json::Object;
            Blanks();
            if (Take("}"))
                return true;
            do {
                std::string key;
                Blanks();
                if (!Take("\"") || !StringBody(key) || (Blanks(), !Take(":")) || !Value(value.members[key]))
                    return false;
                Blanks();
            } while (Take(","));
            return Take("}");
        }
        size_t used = 0;
        try {
            value.number = std::stod(text_.substr(at_), &used);
        } catch (...) {
            return false;
        }
        value.kind = Json::Number;
        at_ += used;
        return used > 0;
    }

    const std::string& text_;
    size_t at_ = 0;
};

std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text)
        out += static_cast<char>(c); // the tests' names are ASCII
    return out;
}

struct ConsoleRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output; // standard output and standard error
};

class ConsoleProgram : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        static const bool installed = InstallConsole();
        ASSERT_TRUE(installed) << "airvane.exe or its texts could not be installed";
    }

    static ConsoleRun Run(const std::wstring& arguments, bool withErrors = true)
    {
        ConsoleRun run;
        const ProgramOutcome outcome =
            RunProgramToEnd(Install().Folder() + L"airvane.exe", arguments, &run.output, 60000, withErrors);
        EXPECT_TRUE(outcome.ended) << outcome.failure;
        run.exitCode = outcome.exitCode;
        return run;
    }

    static Json Status()
    {
        const ConsoleRun run = Run(L"status --json", false);
        EXPECT_EQ(0u, run.exitCode);
        Json status;
        EXPECT_TRUE(JsonReader(run.output).Read(status)) << run.output;
        return status;
    }

private:
    // The program beside the install's, and the console's texts of the build in its text file.
    static bool InstallConsole()
    {
        const std::wstring folder = Install().Folder();
        wchar_t texts[8192];
        const DWORD length = GetPrivateProfileSectionW(kConsoleSection, texts, ARRAYSIZE(texts),
                                                       ProgramPath(L"English\\TALOTXT.ini").c_str());
        return CopyFileW(ProgramPath(L"airvane.exe").c_str(), (folder + L"airvane.exe").c_str(), FALSE) &&
               length > 0 &&
               WritePrivateProfileSectionW(kConsoleSection, texts, (folder + L"English\\TALOTXT.ini").c_str());
    }
};

// The status's devices of one type.
std::vector<const Json*> DevicesOf(const Json& status, const char* type)
{
    std::vector<const Json*> devices;
    for (const Json& device : status["devices"].items) {
        if (device["type"].text == type)
            devices.push_back(&device);
    }
    return devices;
}

// Pointers into a temporary status would dangle once the statement ends.
std::vector<const Json*> DevicesOf(Json&& status, const char* type) = delete;

} // namespace

TEST_F(ConsoleProgram, StatusJsonShowsTheNotebookAsItIs)
{
    // A disabled adapter is no longer seen as WLAN: it is found because a first run registered it.
    const Json first = Status();
    EXPECT_EQ(2u, DevicesOf(first, "WLAN").size());
    CSimNotebook notebook;
    ASSERT_TRUE(notebook.SetDisabled(kSecondWlan, false, true));
    ASSERT_TRUE(StorePreset(0, L"Tr\"avel\\", {{kWlanName, L"Net", kWlanHwId, 0}, {L"UMTS modem", L"#UMTS#", L"X", 1}}));
    ASSERT_TRUE(StorePreset(1, L"Office", {{kWlanName, L"Net", kWlanHwId, 1}}));
    const DWORD ctrlAltT = 0x0654;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, PresetPath(0).c_str(), L"Hotkey", REG_DWORD,
                                             &ctrlAltT, sizeof(ctrlAltT)));

    ForgetPresetInForce();
    const Json status = Status();
    EXPECT_EQ("running", status["service"].text);
    EXPECT_EQ(Json::Null, status["inForce"].kind);
    ASSERT_EQ(2u, DevicesOf(status, "WLAN").size());
    for (const Json* device : DevicesOf(status, "WLAN")) {
        SCOPED_TRACE(device->operator[]("name").text);
        const bool first = device->operator[]("hwid").text == Utf8(kWlanHwId);
        SimDevice sim;
        ASSERT_TRUE(notebook.ReadDevice(first ? kWlan : kSecondWlan, sim));
        EXPECT_EQ(sim.Disabled() ? "off" : "on", device->operator[]("state").text);
        EXPECT_EQ(Json::Bool, device->operator[]("restartPending").kind);
        EXPECT_EQ("Net", device->operator[]("class").text);
    }
    ASSERT_EQ(1u, DevicesOf(status, "UMTS").size());
    EXPECT_EQ("on", DevicesOf(status, "UMTS")[0]->operator[]("state").text);
    EXPECT_EQ("#UMTS#", DevicesOf(status, "UMTS")[0]->operator[]("class").text);
    ASSERT_EQ(1u, DevicesOf(status, "LONGIDS").size());
    EXPECT_EQ("absent", DevicesOf(status, "LONGIDS")[0]->operator[]("state").text);

    const Json& presets = status["presets"];
    ASSERT_EQ(2u, presets.items.size());
    EXPECT_EQ(0, presets.items[0]["number"].number);
    EXPECT_EQ("Tr\"avel\\", presets.items[0]["name"].text);
    EXPECT_EQ("Ctrl+Alt+T", presets.items[0]["shortcut"].text);
    EXPECT_EQ(Json::Null, presets.items[1]["shortcut"].kind);
    const ConsoleRun listed = Run(L"presets");
    EXPECT_NE(std::string::npos, listed.output.find("(shortcut key: Ctrl+Alt+T)")) << listed.output;
    ASSERT_EQ(2u, presets.items[0]["devices"].items.size());
    EXPECT_EQ("off", presets.items[0]["devices"].items[0]["state"].text);
    EXPECT_EQ("on", presets.items[0]["devices"].items[1]["state"].text);

    ASSERT_TRUE(notebook.SetDisabled(kModemRoot, false, true));
    const Json modemOff = Status();
    ASSERT_EQ(1u, DevicesOf(modemOff, "UMTS").size());
    EXPECT_EQ("off", DevicesOf(modemOff, "UMTS")[0]->operator[]("state").text);
}

// Each row on a freshly seeded notebook, prepared by AirvaneSim as a person would.
TEST_F(ConsoleProgram, ApplyExitsWithHowTheDevicesWent)
{
    struct Case {
        const wchar_t* simulator; // AirvaneSim's arguments, or none
        const wchar_t* arguments;
        DWORD exitCode;
        const char* line; // after the adapter's name
        std::vector<std::wstring> changes;
    };
    const Case cases[] = {
        {nullptr, L"apply 0", 0, ": switched off", {L"1 off"}},
        {nullptr, L"apply oFFICE", 0, ": switched on", {}}, // on already
        // The walk goes on past a failing device.
        {L"fail 1 installer", L"apply Both", 1, ": could not be switched off", {L"7 off"}},
        {nullptr, L"apply Home", 4, "", {}},
        {L"set 1 restart on", L"apply 0", 3010, ": switched off, takes effect after a restart", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << std::wstring(c.arguments) << "\"");
        ASSERT_TRUE(ResetMachine());
        ASSERT_TRUE(StorePreset(0, L"Travel", {{kWlanName, L"Net", kWlanHwId, 0}}));
        ASSERT_TRUE(StorePreset(1, L"Both", {{kWlanName, L"Net", kWlanHwId, 0}, {kSecondWlanName, L"Net", kSecondWlanHwId, 0}}));
        ASSERT_TRUE(StorePreset(2, L"Office", {{kWlanName, L"Net", kWlanHwId, 1}}));
        if (c.simulator)
            ASSERT_EQ(0, RunProgram(ProgramPath(L"AirvaneSim.exe"), c.simulator));
        const ConsoleRun run = Run(c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
        const std::string line = c.exitCode == 4 ? "Home" : Utf8(kWlanName) + c.line;
        EXPECT_NE(std::string::npos, run.output.find(line)) << run.output;
        EXPECT_EQ(c.changes, StateChanges());
    }
    // The last switch waits for a restart: status marks that adapter, and only it.
    const Json status = Status();
    for (const Json* device : DevicesOf(status, "WLAN")) {
        const bool pending = device->operator[]("hwid").text == Utf8(kWlanHwId);
        EXPECT_EQ(pending, device->operator[]("restartPending").flag) << device->operator[]("name").text;
    }
}

TEST_F(ConsoleProgram, SwitchesWaitWhileASettingsWindowIsOpen)
{
    ASSERT_TRUE(StorePreset(0, L"Travel", {{kWlanName, L"Net", kWlanHwId, 0}}));
    const KernelHandle settingsWindow(CreateMutexW(nullptr, TRUE, kSettingsInstanceMutex));
    ASSERT_TRUE(settingsWindow.IsValid());
    for (const wchar_t* arguments : {L"apply 0", L"off wlan"}) {
        const ConsoleRun run = Run(arguments);
        EXPECT_EQ(1u, run.exitCode) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("settings window")) << run.output;
    }
    EXPECT_EQ(0u, Run(L"status").exitCode);
    EXPECT_TRUE(StateChanges().empty());
}

TEST_F(ConsoleProgram, AnAppliedPresetIsInForceUntilATypeIsSwitched)
{
    ASSERT_TRUE(StorePreset(0, L"Travel", {{kWlanName, L"Net", kWlanHwId, 0}}));
    ASSERT_TRUE(StorePreset(1, L"Office", {{kWlanName, L"Net", kWlanHwId, 1}}));
    ASSERT_EQ(0u, Run(L"apply OFFICE").exitCode);
    const Json status = Status();
    EXPECT_EQ(1, status["inForce"]["number"].number);
    EXPECT_EQ("Office", status["inForce"]["name"].text);
    EXPECT_EQ(0u, Run(L"on WLAN").exitCode);
    EXPECT_EQ(Json::Null, Status()["inForce"].kind);
}

// The administrator's presets follow the user's, marked managed, and apply by their number.
TEST_F(ConsoleProgram, PolicyPresetsFollowTheUsersMarkedManagedAndApplyByNumber)
{
    const ScopedPolicy policy;
    ASSERT_TRUE(StorePreset(0, L"Mine", {{kWlanName, L"Net", kWlanHwId, 1}}));
    ASSERT_TRUE(policy.StorePreset(HKEY_LOCAL_MACHINE, 0, L"Fleet", {{kWlanName, L"Net", kWlanHwId, 0}}));

    const ConsoleRun json = Run(L"presets --json", false);
    Json presets;
    ASSERT_TRUE(JsonReader(json.output).Read(presets)) << json.output;
    ASSERT_EQ(2u, presets["presets"].items.size());
    const struct {
        const char* name;
        bool managed;
    } expected[] = {{"Mine", false}, {"Fleet", true}};
    for (size_t i = 0; i < 2; ++i) {
        const Json& preset = presets["presets"].items[i];
        EXPECT_EQ(expected[i].name, preset["name"].text);
        EXPECT_EQ(Json::Bool, preset["managed"].kind);
        EXPECT_EQ(expected[i].managed, preset["managed"].flag);
    }
    const ConsoleRun text = Run(L"presets", false);
    EXPECT_NE(std::string::npos, text.output.find("Fleet  (shortcut key: none) (managed)")) << text.output;
    EXPECT_EQ(std::string::npos, text.output.find("Mine  (shortcut key: none) (managed)")) << text.output;

    const ConsoleRun run = Run(L"apply 1");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(IsDisabled(kWlan));
}

TEST_F(ConsoleProgram, OnAndOffSwitchTypesAndRefuseUnknownOnes)
{
    ConsoleRun run = Run(L"off wlan");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ((std::vector<std::wstring>{L"7 off", L"1 off"}), StateChanges());

    ASSERT_TRUE(ResetMachine());
    run = Run(L"off wlan NOSUCHTYPE");
    EXPECT_EQ(4u, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("NOSUCHTYPE")) << run.output;
    EXPECT_TRUE(StateChanges().empty()) << "nothing is switched when a type has no devices";
}

// Which words are bad use is the parser's table; here, what the program makes of it.
TEST_F(ConsoleProgram, BadUseExitsTwoWithTheUsage)
{
    const ConsoleRun usage = Run(L"frobnicate");
    EXPECT_EQ(2u, usage.exitCode);
    EXPECT_NE(std::string::npos, usage.output.find("frobnicate"));
    EXPECT_NE(std::string::npos, usage.output.find("3010"));
    const ConsoleRun help = Run(L"--help", false);
    EXPECT_EQ(0u, help.exitCode);
    EXPECT_NE(std::string::npos, help.output.find("apply <number or name>"));
    const ConsoleRun version = Run(L"--version", false);
    EXPECT_EQ(0u, version.exitCode);
    EXPECT_EQ(0u, version.output.find("Airvane 1.")) << version.output;
}

TEST_F(ConsoleProgram, RulesAreAddedListedAndRemoved)
{
    const RegistrySnapshot rules(HKEY_CURRENT_USER, kRulesKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kRulesKey);
    ASSERT_TRUE(StorePreset(0, L"Office", {{kWlanName, L"Net", kWlanHwId, 0}}));
    const struct {
        const wchar_t* arguments;
        DWORD exitCode;
    } steps[] = {
        {L"rules add cablein office", 0},                 // the stored name is kept
        {L"rules add Docked 0 USB\\VID_17EF&PID_30A9", 0}, // a preset by number
        {L"rules add Battery Nowhere", 4},
        {L"rules add Docked Office", 2}, // the dock needs its device
        {L"rules add AC Office PCI\\VEN_1", 2},
        {L"rules add Sunrise Office", 2},
        {L"rules remove 2", 4},
        {L"rules add CableOut Office", 0},
        {L"rules remove 0", 0},
    };
    for (const auto& step : steps) {
        const ConsoleRun run = Run(step.arguments);
        EXPECT_EQ(step.exitCode, run.exitCode) << std::wstring(step.arguments) << ": " << run.output;
    }
    ASSERT_TRUE(StorePreset(0, L"Travel", {{kWlanName, L"Net", kWlanHwId, 0}}));
    // The administrator's rule comes first and cannot be removed; the user's follow it.
    const RegistrySnapshot policyRules(HKEY_CURRENT_USER, kPolicyRulesKey);
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, kPolicyRulesKey, L"0_Preset", REG_SZ, L"Travel", 14));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, kPolicyRulesKey, L"0_Event", REG_SZ, L"AC", 6));
    const ConsoleRun refused = Run(L"rules remove 0");
    EXPECT_EQ(2u, refused.exitCode) << refused.output;
    EXPECT_NE(std::string::npos, refused.output.find("administrator")) << refused.output;

    const ConsoleRun list = Run(L"rules --json", false);
    EXPECT_EQ(0u, list.exitCode);
    Json json;
    ASSERT_TRUE(JsonReader(list.output).Read(json)) << list.output;
    const std::vector<Json>& stored = json["rules"].items;
    ASSERT_EQ(3u, stored.size()) << list.output;
    EXPECT_EQ("AC", stored[0]["event"].text);
    EXPECT_TRUE(stored[0]["managed"].flag);
    EXPECT_EQ("Docked", stored[1]["event"].text);
    EXPECT_EQ("Office", stored[1]["preset"].text);
    EXPECT_EQ("USB\\VID_17EF&PID_30A9", stored[1]["hwid"].text);
    EXPECT_FALSE(stored[1]["presetStored"].flag) << "Office was renamed to Travel";
    EXPECT_FALSE(stored[1]["managed"].flag);
    EXPECT_EQ("CableOut", stored[2]["event"].text);
    EXPECT_EQ(Json::Null, stored[2]["hwid"].kind);
    const ConsoleRun text = Run(L"rules", false);
    EXPECT_NE(std::string::npos, text.output.find("When the dock is connected (USB\\VID_17EF&PID_30A9), apply Office "
                                                  "(no such preset: does nothing)"))
        << text.output;
    EXPECT_NE(std::string::npos, text.output.find("0  When the notebook runs on AC power, apply Travel (managed)"))
        << text.output;
}

TEST_F(ConsoleProgram, WithoutTheServiceStatusSaysSoAndApplyFails)
{
    ASSERT_TRUE(StorePreset(0, L"Travel", {{kWlanName, L"Net", kWlanHwId, 0}}));
    RunCommand(L"sc.exe stop " + std::wstring(kServiceName));
    ASSERT_TRUE(AwaitServiceState(SERVICE_STOPPED, 20000));
    EXPECT_EQ("unreachable", Status()["service"].text);
    const ConsoleRun run = Run(L"apply 0");
    EXPECT_TRUE(StartInstalledService());
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_TRUE(StateChanges().empty());
}
