#include "catalog/PresetsChangedMsg.h"

#include "foundation/Names.h"

UINT RegisterPresetsChangedMsg()
{
    return RegisterWindowMessageW(kPresetsChangedMessage);
}
