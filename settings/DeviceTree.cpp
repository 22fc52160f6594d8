#include "settings/DeviceTree.h"

namespace {

// State images of a tree with check boxes: 1 the empty box, 2 the check mark.
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;

HTREEITEM InsertDevice(HWND tree, const TALO_DEVICEINFO& device)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE;
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.state = INDEXTOSTATEIMAGEMASK(device.Setting == 1 ? kCheckedImage : kUncheckedImage);
    insert.item.pszText = const_cast<wchar_t*>(device.DeviceName.GetString());
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

} // namespace

HTREEITEM treeItems[kTreeItemsMax] = {};
int treeItemCount = 0;

// A tree created with TVS_CHECKBOXES makes its check-box images when it first
// draws itself and then sets every item to the empty box, which would lose the
// check marks shown before. Setting the style anew makes the images at once.
void PrepareDeviceTree(HWND tree)
{
    const LONG_PTR style = GetWindowLongPtrW(tree, GWL_STYLE);
    SetWindowLongPtrW(tree, GWL_STYLE, style & ~static_cast<LONG_PTR>(TVS_CHECKBOXES));
    SetWindowLongPtrW(tree, GWL_STYLE, style | TVS_CHECKBOXES);
}

int ShowDeviceTree(HWND tree, const TaloDeviceArray& devices)
{
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    treeItemCount = 0;
    const int shown = devices.GetSize() < kTreeItemsMax ? devices.GetSize() : kTreeItemsMax;
    for (int i = 0; i < shown; ++i) {
        const HTREEITEM item = InsertDevice(tree, devices[i]);
        if (!item)
            break;
        treeItems[treeItemCount++] = item;
    }
    for (int i = treeItemCount; i < kTreeItemsMax; ++i)
        treeItems[i] = nullptr;
    return treeItemCount;
}

bool IsTreeItemChecked(HWND tree, int index)
{
    if (index < 0 || index >= treeItemCount)
        return false;
    const LRESULT state = SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(treeItems[index]),
                                       TVIS_STATEIMAGEMASK);
    return (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(kCheckedImage);
}
