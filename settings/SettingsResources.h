#pragma once

// Resource ids of the settings program, one block per dialog. Read by the
// resource compiler as well as by C++: plain #defines only.

// The program's icon: a radio mast on a blue tile.
#define IDI_SETTINGS 106

// Dialog 101: the settings window.
#define IDD_MAIN 101
#define IDC_MAIN_AUTOSTART 1003
#define IDC_MAIN_DELETE 1005
#define IDC_MAIN_TITLE 1007
#define IDC_MAIN_COPYRIGHT 1008
#define IDC_MAIN_DESCRIPTION 1009
#define IDC_MAIN_PRESET_LABEL 1010
#define IDC_MAIN_PRESET_LIST 1011
#define IDC_MAIN_STATUS_LABEL 1012
#define IDC_MAIN_DEVICE_TREE 1013
#define IDC_MAIN_KEEP_APPLIED 1024
#define IDC_MAIN_HOTKEY_LABEL 1017
#define IDC_MAIN_HOTKEY 1018
#define IDC_MAIN_HOTKEY_SET 1019
#define IDC_MAIN_RULES 1025
// OK and Cancel are IDOK (1) and IDCANCEL (2).

// Dialog 102: naming a new preset.
#define IDD_REGISTER 102
#define IDC_REGISTER_NAME 1004
#define IDC_REGISTER_DESCRIPTION 1014
#define IDC_REGISTER_NAME_LABEL 1015
#define IDC_REGISTER_HOTKEY_LABEL 1020
#define IDC_REGISTER_HOTKEY 1021
// Register is IDOK (1), Cancel IDCANCEL (2); apply-only ends the dialog with 3.
#define IDC_REGISTER_APPLY_ONLY 3

// Dialog 108: the rules. OK and Cancel are IDOK (1) and IDCANCEL (2).
#define IDD_RULES 108
#define IDC_RULES_DESCRIPTION 1030
#define IDC_RULES_LIST_LABEL 1031
#define IDC_RULES_LIST 1032
#define IDC_RULES_REMOVE 1033
#define IDC_RULES_EVENT_LABEL 1034
#define IDC_RULES_EVENT 1035
#define IDC_RULES_PRESET_LABEL 1036
#define IDC_RULES_PRESET 1037
#define IDC_RULES_DEVICE_LABEL 1038
#define IDC_RULES_DEVICE 1039
#define IDC_RULES_ADD 1040

// Dialog 107: the notice shown while a preset is applied.
#define IDD_PROGRESS 107
#define IDC_PROGRESS_MESSAGE 1016
