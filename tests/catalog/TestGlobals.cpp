// The process-wide objects of the test programs, as a program defines them.
#include "catalog/PresetsChangedMsg.h"

const UINT PresetsChangedMsg = RegisterPresetsChangedMsg();
