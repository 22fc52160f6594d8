#pragma once

#include "catalog/DeviceRecords.h"

#include <windows.h>
#include <commctrl.h>

// The check-box tree of the settings window (control 1013): one item per device
// record, checked when the record's Setting is 1.

// At most this many devices are shown; further records of a preset or of the
// catalog are left out.
constexpr int kTreeItemsMax = 100;

// treeItems[i] is the item of the i-th device shown, for i below treeItemCount;
// the entries behind it hold no item (the tree's items were deleted).
extern HTREEITEM treeItems[kTreeItemsMax];
extern int treeItemCount;

// Makes the tree's check-box images before its first item goes in. Call once,
// before the first ShowDeviceTree.
void PrepareDeviceTree(HWND tree);

// Empties the tree and shows the first kTreeItemsMax devices in order. Returns
// the number of items shown.
int ShowDeviceTree(HWND tree, const TaloDeviceArray& devices);

// Whether the check box of the i-th item shown holds the check mark; false for
// an index that names no item.
bool IsTreeItemChecked(HWND tree, int index);
