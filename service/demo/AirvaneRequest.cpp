// AirvaneRequest: sends one request to the switching service from the command
// line, as the settings program and the launcher do, and prints the answer.
// For the demo and for people trying the service; not shipped.
#include "foundation/ModuleFolder.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int Usage()
{
    std::fputs("usage: AirvaneRequest host-path\n"
               "       AirvaneRequest set-dword <key> <value> <number>\n"
               "       AirvaneRequest set-string <key> <value> <text>\n"
               "       AirvaneRequest enable|disable <class> [<hardware-ID prefix>]\n"
               "       AirvaneRequest eject\n",
               stderr);
    return 2;
}

// The Windows path of TALOService.exe beside this program, for "sc create".
int PrintHostPath()
{
    std::printf("%ls%ls\n", ModuleFolder(nullptr).c_str(), L"TALOService.exe");
    return 0;
}

int Report(const char* what, LONG result)
{
    const char* meaning = result == 0    ? "done"
                          : result == -1 ? "not done: refused, or no service"
                          : result == 1  ? "not done: refused, or the device operation failed"
                                         : "not done";
    std::printf("%s: result %ld (%s)\n", what, static_cast<long>(result), meaning);
    return result == 0 ? 0 : 1;
}

// A device switch may also succeed with a change that waits for a restart.
int ReportSwitch(const char* what, LONG result)
{
    if (result != kDeviceResultRestart)
        return Report(what, result);
    std::printf("%s: result %ld (done; takes effect after a restart)\n", what, static_cast<long>(result));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == L"host-path")
        return PrintHostPath();
    if (args.size() == 4 && args[0] == L"set-dword") {
        const bool done = RequestSetDWord(args[1].c_str(), args[2].c_str(), std::wcstoul(args[3].c_str(), nullptr, 10));
        return Report("set-dword", done ? 0 : -1);
    }
    if (args.size() == 4 && args[0] == L"set-string")
        return Report("set-string", RequestSetString(args[1].c_str(), args[2].c_str(), args[3].c_str()) ? 0 : -1);
    if ((args.size() == 2 || args.size() == 3) && (args[0] == L"enable" || args[0] == L"disable")) {
        const wchar_t* prefix = args.size() == 3 ? args[2].c_str() : L"";
        return args[0] == L"enable" ? ReportSwitch("enable", RequestEnableDevice(args[1].c_str(), prefix))
                                    : ReportSwitch("disable", RequestDisableDevice(args[1].c_str(), prefix));
    }
    if (args.size() == 1 && args[0] == L"eject") {
        TALO_REQUEST request = {};
        request.Code = REQ_EJECT_MEDIA;
        request.Result = -1;
        SendRequest(request);
        return Report("eject", request.Result);
    }
    return Usage();
}
