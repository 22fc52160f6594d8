#pragma once

// A dialog template as the resource compiler stored it (DLGTEMPLATEEX), for
// checking ids, classes, styles, places and texts without creating the dialog.
//
//   DialogTemplate dialog;
//   ASSERT_TRUE(LoadDialogTemplate(nullptr, IDD_PROGRESS, &dialog));
//   EXPECT_EQ(dialog.items[1].id, IDC_PROGRESS_MESSAGE);

#include <string>
#include <vector>
#include <windows.h>

struct DialogTemplateItem {
    int id = 0;
    std::wstring className; // predefined classes by name: "Button", "Static"...
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring text;      // an ordinal as "#<number>"
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring font;
    std::vector<DialogTemplateItem> items;
};

// Reads dialog id of module (null: the program); false when it is missing, is
// not an extended template, or ends early.
bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate* dialog);
