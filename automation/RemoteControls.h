#pragma once

// Reading and driving the list boxes and tree views of another process's dialog.
// List-box messages are carried across processes by the system; tree-view
// messages hold pointers, so their structures are placed in the other process's
// memory. Each call waits at most a second for the window to answer.
//
//   const HWND tree = GetDlgItem(dialog, 1013);
//   const std::vector<TreeEntry> devices = TreeEntries(tree);
//   ASSERT_TRUE(SetTreeCheck(tree, devices[0].item, false));

#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

struct TreeEntry {
    HTREEITEM item;
    std::wstring text;
    bool checked; // the check box shows the check mark (state image 2)
};

// The items of the tree's first level, in order.
std::vector<TreeEntry> TreeEntries(HWND tree);

// Sets the check box of an item as a click would leave it: state image 2 or 1.
bool SetTreeCheck(HWND tree, HTREEITEM item, bool checked);

// The point in the tree's client area where the item's check box is drawn;
// false when the item is not visible.
bool TreeCheckBoxPoint(HWND tree, HTREEITEM item, POINT* point);

// The texts of a list box's entries.
std::vector<std::wstring> ListBoxEntries(HWND list);

// LB_GETCURSEL of a list box (LB_ERR without an answer).
int ListBoxSelection(HWND list);
