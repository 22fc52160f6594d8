#include "launcher/ForegroundWindow.h"

namespace {

// Attaches the input of two threads for the life of the object, unless they are the same.
class AttachedInput {
public:
    AttachedInput(DWORD own, DWORD other) : own_(own), other_(other)
    {
        attached_ = own_ != other_ && AttachThreadInput(own_, other_, TRUE);
    }
    ~AttachedInput()
    {
        if (attached_)
            AttachThreadInput(own_, other_, FALSE);
    }
    AttachedInput(const AttachedInput&) = delete;
    AttachedInput& operator=(const AttachedInput&) = delete;

private:
    DWORD own_;
    DWORD other_;
    bool attached_;
};

} // namespace

int ForceForegroundWindow(HWND window)
{
    if (!window || !IsWindow(window))
        return 0;
    const HWND foreground = GetForegroundWindow();
    if (!foreground)
        return SetForegroundWindow(window);
    if (foreground == window)
        return 1;

    int result;
    {
        AttachedInput attached(GetWindowThreadProcessId(window, nullptr),
                               GetWindowThreadProcessId(foreground, nullptr));
        result = SetForegroundWindow(window);
    }
    if (GetForegroundWindow() == window)
        return result;

    // The lock time-out is changed for this session only (no SPIF flags) and restored at once.
    DWORD savedTimeout = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    result = SetForegroundWindow(window);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(savedTimeout)), 0);
    return result;
}
