#include "foundation/CEvent.h"

#include "foundation/ObjectSecurity.h"

CEvent::CEvent(const wchar_t* name, BOOL manualReset, BOOL initialState, int wait, DWORD timeoutMs)
{
    OpenSecurity security;
    event_.Reset(CreateEventW(security.Attributes(), manualReset, initialState, name));
    obtained_ = event_.IsValid() ? 1 : 0;
    if (obtained_ && wait)
        waitResult_ = WaitForSingleObject(event_.Get(), timeoutMs);
}
