#include "catalog/PresetsChangedMsg.h"

#include "foundation/Names.h"

// Constant-initialised, so it reads 0 before any program code has run.
UINT PresetsChangedMsg = 0;

UINT RegisterPresetsChangedMsg()
{
    PresetsChangedMsg = RegisterWindowMessageW(kPresetsChangedMessage);
    return PresetsChangedMsg;
}
