#pragma once

// The box that follows a switch whose change takes effect only after a restart:
// one box for the whole preset or command line, naming every such device.

#include <windows.h>

#include <string>
#include <vector>

class CTextMgr;

class CRestartNotice {
public:
    // A device whose switch succeeded but takes effect after a restart.
    void Add(const wchar_t* deviceName);

    // Shows the box when a device was added, owned by owner; texts is the text
    // manager on "TALOTXT.ini", section "TALOGUI" (null: empty texts). Then
    // forgets the devices.
    void Show(HWND owner, const CTextMgr* texts);

private:
    std::vector<std::wstring> devices_;
};
