#pragma once

#include "foundation/CcString.h"

// A value or key name numbered by a decimal index, such as "%d_Class" for 3: "3_Class".
inline CcString IndexedName(const wchar_t* format, int index)
{
    CcString name;
    name.Format(format, index);
    return name;
}
