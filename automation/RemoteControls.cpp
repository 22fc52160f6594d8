#include "automation/RemoteControls.h"

#include "foundation/Handle.h"

namespace {

constexpr UINT kAnswerMs = 1000;
constexpr int kTextChars = 512;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

// A block of memory in the process that owns a window, freed at the end.
class RemoteBlock {
public:
    RemoteBlock(HWND window, SIZE_T bytes) : bytes_(bytes)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (process_)
            address_ = VirtualAllocEx(process_.Get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (address_)
            VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool IsValid() const { return address_ != nullptr; }
    // The other process's address of the byte at offset.
    BYTE* At(SIZE_T offset) const { return static_cast<BYTE*>(address_) + offset; }
    LPARAM Param(SIZE_T offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }

    bool Write(SIZE_T offset, const void* data, SIZE_T bytes) const
    {
        return offset + bytes <= bytes_ && WriteProcessMemory(process_.Get(), At(offset), data, bytes, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T bytes) const
    {
        return offset + bytes <= bytes_ && ReadProcessMemory(process_.Get(), At(offset), data, bytes, nullptr);
    }

private:
    KernelHandle process_;
    void* address_ = nullptr;
    SIZE_T bytes_;
};

std::wstring ItemText(HWND tree, HTREEITEM item)
{
    RemoteBlock block(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
    TVITEMW query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = reinterpret_cast<wchar_t*>(block.At(sizeof(TVITEMW)));
    query.cchTextMax = kTextChars;
    wchar_t text[kTextChars] = {};
    if (!block.IsValid() || !block.Write(0, &query, sizeof(query)) || !Send(tree, TVM_GETITEMW, 0, block.Param()) ||
        !block.Read(sizeof(TVITEMW), text, sizeof(text))) {
        return std::wstring();
    }
    text[kTextChars - 1] = L'\0';
    return text;
}

} // namespace

std::vector<TreeEntry> TreeEntries(HWND tree)
{
    std::vector<TreeEntry> entries;
    auto item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        const LRESULT state = Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK);
        entries.push_back({item, ItemText(tree, item), (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)});
        item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return entries;
}

bool SetTreeCheck(HWND tree, HTREEITEM item, bool checked)
{
    TVITEMW change = {};
    change.mask = TVIF_STATE | TVIF_HANDLE;
    change.hItem = item;
    change.stateMask = TVIS_STATEIMAGEMASK;
    change.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    RemoteBlock block(tree, sizeof(change));
    return block.IsValid() && block.Write(0, &change, sizeof(change)) &&
           Send(tree, TVM_SETITEMW, 0, block.Param()) != 0;
}

bool TreeCheckBoxPoint(HWND tree, HTREEITEM item, POINT* point)
{
    // TVM_GETITEMRECT takes the item in the rectangle it fills; the text's
    // rectangle starts just right of the check box.
    RemoteBlock block(tree, sizeof(RECT) + sizeof(TVHITTESTINFO));
    RECT rect = {};
    if (!block.IsValid() || !block.Write(0, &item, sizeof(item)) ||
        !Send(tree, TVM_GETITEMRECT, TRUE, block.Param()) || !block.Read(0, &rect, sizeof(rect))) {
        return false;
    }
    for (LONG x = rect.left - 1; x >= 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = {x, (rect.top + rect.bottom) / 2};
        if (!block.Write(sizeof(RECT), &hit, sizeof(hit)) || !Send(tree, TVM_HITTEST, 0, block.Param(sizeof(RECT))) ||
            !block.Read(sizeof(RECT), &hit, sizeof(hit))) {
            return false;
        }
        if (hit.hItem == item && (hit.flags & TVHT_ONITEMSTATEICON)) {
            *point = hit.pt;
            return true;
        }
    }
    return false;
}

std::vector<std::wstring> ListBoxEntries(HWND list)
{
    std::vector<std::wstring> entries;
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(list, LB_GETTEXTLEN, i, 0);
        std::wstring text(length > 0 ? length + 1 : 1, L'\0');
        const LRESULT copied = Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(copied > 0 ? copied : 0);
        entries.push_back(text);
    }
    return entries;
}

int ListBoxSelection(HWND list)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result))
        return LB_ERR;
    return static_cast<int>(static_cast<LRESULT>(result));
}
