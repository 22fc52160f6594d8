#include "devices/BtStackPresence.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

namespace {

int KeyExists(const wchar_t* path)
{
    CcRegistry key;
    return key.OpenKey(path, HKEY_LOCAL_MACHINE, KEY_READ);
}

} // namespace

int IsKvrfusbPresent()
{
    return KeyExists(kKvrfusbEnumKey);
}

int IsKvrfbdPresent()
{
    return KeyExists(kKvrfbdEnumKey);
}
