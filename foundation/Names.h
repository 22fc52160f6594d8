#pragma once

// Every name that crosses a process boundary or is stored: kernel objects,
// window classes, registered messages, registry keys and values, files.
// Spelled exactly as the other programs, the service and stored data expect.

// Kernel objects.
constexpr wchar_t kSettingsInstanceMutex[] = L"TALO1AC8EBC91DB842FCB3B700CFABFD56D2";
constexpr wchar_t kServiceInstanceMutex[] = L"Global\\TALOWNP44D0E58096E7437D9EC4202F6237774C";
constexpr wchar_t kTransactionMutex[] = L"Global\\TALO5F840F6CC96B467F80CDC90B48EDFF13";
constexpr wchar_t kRequestBlockName[] = L"Global\\TALODATA";
// With the mapping name after its namespace prefix, which goes in front: "Global\CMMF...TALODATA".
constexpr wchar_t kBlockMutexFormat[] = L"CMMF72C8753ADE4D408989E2A955914D8259%s";
constexpr wchar_t kRequestEvent[] = L"Global\\TALOA5590FD265FD4AB3A201AA15C650D5C3";
constexpr wchar_t kCompletionEvent[] = L"Global\\TALOC5D741D6C25A470BB55ADE95D91540C3";

// The launcher's instance mutex and window class, and the service's window class.
constexpr wchar_t kLauncherWindowClass[] = L"TALO41C603BD6FA841AE91843E51DF2C32D8";
constexpr wchar_t kLauncherInstanceMutex[] = L"TALO41C603BD6FA841AE91843E51DF2C32D8";
constexpr wchar_t kServiceWindowClass[] = L"TALO41C603BD6FA841AE91843E51DF2C32D8";

// Registered window messages.
constexpr wchar_t kPresetsChangedMessage[] = L"TALO4DF5E70F46DF44C0A0D34D9F39C31B00";
constexpr wchar_t kSwitchDoneMessage[] = L"TALOACDE199CF0E24EDDAF7ED5EDE8C55B24";
constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";

// Presets, per user (HKEY_CURRENT_USER).
constexpr wchar_t kProductKey[] = L"SOFTWARE\\Korvath\\Airvane";
constexpr wchar_t kSettingSubKey[] = L"Setting";
constexpr wchar_t kPresetKeyFormat[] = L"SOFTWARE\\Korvath\\Airvane\\Setting\\Preset%d";
constexpr wchar_t kPresetNameValue[] = L"Name";
// REG_DWORD: the preset's shortcut key as a hotkey control gives it; 0 or absent: none.
constexpr wchar_t kPresetHotkeyValue[] = L"Hotkey";
// A save writes the new presets beside "Setting", marks them whole, then copies them in.
constexpr wchar_t kPresetSubKeyFormat[] = L"Preset%d";
constexpr wchar_t kSettingSavingSubKey[] = L"Setting.Saving";
constexpr wchar_t kSavedWholeValue[] = L"Whole";
// Held while the preset trees change: by a save, and by a load that finishes one.
constexpr wchar_t kPresetStoreMutex[] = L"TALO7E3A9C1F52B04D6E8A41C0F9D2B5E873";

// Per user, beside "Setting" (which a save rewrites): the preset in force, its
// number and name; whether the launcher keeps it applied (0 off, else or absent
// on); and the notice of the last quiet re-apply, for the launcher's balloon.
constexpr wchar_t kInForceNumberValue[] = L"InForce";
constexpr wchar_t kInForceNameValue[] = L"InForceName";
constexpr wchar_t kKeepAppliedValue[] = L"KeepApplied";
constexpr wchar_t kReapplyNoticeValue[] = L"ReapplyNotice";

// Per user: the rules that apply a preset when the cable, the power source or the
// dock changes, numbered values "<k>_Event", "<k>_Preset" and "<k>_HwId".
constexpr wchar_t kRulesKey[] = L"SOFTWARE\\Korvath\\Airvane\\Rules";
constexpr wchar_t kRulesSubKey[] = L"Rules";
constexpr wchar_t kRuleEventValueFormat[] = L"%d_Event";
constexpr wchar_t kRulePresetValueFormat[] = L"%d_Preset";
constexpr wchar_t kRuleHwIdValueFormat[] = L"%d_HwId";

// The device list, machine-wide (HKEY_LOCAL_MACHINE), written only by the service.
constexpr wchar_t kDeviceListKey[] = L"SOFTWARE\\Korvath\\Airvane\\Device";
constexpr wchar_t kDeviceNumValue[] = L"DeviceNum";
// The most records it holds; readers stop there and at the first incomplete record.
constexpr int kMostDeviceRecords = 256;

// Value names of one device record, numbered from 0; the entries of a device
// section of the text file use the same keys.
constexpr wchar_t kDeviceNameValueFormat[] = L"%d_DeviceName";
constexpr wchar_t kClassValueFormat[] = L"%d_Class";
constexpr wchar_t kHwIdValueFormat[] = L"%d_HwId";
constexpr wchar_t kSettingValueFormat[] = L"%d_Setting";
constexpr wchar_t kDisplayNameValueFormat[] = L"%d_DisplayName";

// The administrator's policy, machine-wide and per user (HKEY_LOCAL_MACHINE before
// HKEY_CURRENT_USER): presets in the layout of a user's, and settings. Never written.
constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Korvath\\Airvane";
constexpr wchar_t kPolicyPresetKeyFormat[] = L"SOFTWARE\\Policies\\Korvath\\Airvane\\Presets\\Preset%d";
constexpr wchar_t kPolicyRulesKey[] = L"SOFTWARE\\Policies\\Korvath\\Airvane\\Rules";
constexpr wchar_t kAllowUserPresetsPolicy[] = L"AllowUserPresets";
constexpr wchar_t kAutostartPolicy[] = L"Autostart";
constexpr wchar_t kKeepAppliedPolicy[] = L"KeepApplied";

// Autostart of the launcher (HKEY_CURRENT_USER).
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kAutostartValue[] = L"Kestrune";

// The companion program (HKEY_LOCAL_MACHINE).
constexpr wchar_t kCompanionPathKey[] = L"Software\\Korvath\\pomerant\\Environment";
constexpr wchar_t kCompanionPathValue[] = L"AppPath";
constexpr wchar_t kCompanionFlagKey[] = L"Software\\Korvath\\quillon\\Initialize";
constexpr wchar_t kCompanionFlagValue[] = L"Admission";

// Read only: network cards and the Bluetooth stack's services (HKEY_LOCAL_MACHINE).
constexpr wchar_t kNetworkCardsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr wchar_t kNetworkCardDescriptionValue[] = L"Description";
constexpr wchar_t kNetworkCardServiceNameValue[] = L"ServiceName";
constexpr wchar_t kKvrfusbEnumKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Kvrfusb\\Enum";
constexpr wchar_t kKvrfbdEnumKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Kvrfbd\\Enum";

// The section of "Language.ini" that maps languages to their folders.
constexpr wchar_t kLanguageFolderSection[] = L"Folder";

// Files beside the programs.
constexpr wchar_t kLanguageIniFile[] = L"Language.ini";
constexpr wchar_t kTextFile[] = L"TALOTXT.ini";
constexpr wchar_t kSettingsProgramFile[] = L"TALOSetting.exe";
constexpr wchar_t kLauncherProgramFile[] = L"TALOLauncher.exe";
constexpr wchar_t kServiceLibraryFile[] = L"TALOWNP.dll";

// The Windows service that hosts the library on today's Windows.
constexpr wchar_t kServiceName[] = L"TALOService";

// Sections of the text file.
constexpr wchar_t kSettingsSection[] = L"TALOGUI";
constexpr wchar_t kLauncherSection[] = L"TALOLNC";
constexpr wchar_t kConsoleSection[] = L"TALOCON";
constexpr wchar_t kDeviceListSection[] = L"DeviceList";
constexpr wchar_t kUmtsSection[] = L"UMTS";

// Values of "DeviceList" that are not section names.
constexpr wchar_t kDeviceListUmts[] = L"UMTS";
constexpr wchar_t kDeviceListWlan[] = L"WLAN";
constexpr wchar_t kDeviceListBluetooth[] = L"BLUETOOTH";

// Keys of the "UMTS" section: entry n, and sub-device i of entry n.
constexpr wchar_t kUmtsRootClassKeyFormat[] = L"UMTS%d_ROOT_CLASS";
constexpr wchar_t kUmtsRootHwIdKeyFormat[] = L"UMTS%d_ROOT_HWID";
constexpr wchar_t kUmtsRootDisplayNameKeyFormat[] = L"UMTS%d_ROOT_DISPLAYNAME";
constexpr wchar_t kUmtsSubCountKeyFormat[] = L"UMTS%d_SUBNUM";
constexpr wchar_t kUmtsSubClassKeyFormat[] = L"UMTS%d_SUB%d_CLASS";
constexpr wchar_t kUmtsSubHwIdKeyFormat[] = L"UMTS%d_SUB%d_HWID";

// The setup class of network cards, and the name of the Bluetooth radio's record.
constexpr wchar_t kNetworkCardClass[] = L"Net";
constexpr wchar_t kBluetoothRadioName[] = L"Bluetooth";

// Class markers of device records that are not switched as one setup-class device.
constexpr wchar_t kUmtsClassMarker[] = L"#UMTS#";
constexpr wchar_t kBluetoothClassMarker[] = L"#KVBT#";

// Keys of the text file's section "TALOGUI": the settings window's title, by
// which a running settings window is also found.
constexpr wchar_t kSettingsWindowTitleKey[] = L"GUIWIN_NAME";
