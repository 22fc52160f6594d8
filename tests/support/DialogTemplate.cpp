#include "tests/support/DialogTemplate.h"

#include <cstring>

namespace {

// Reads the fields of a template in order; reading past its end sets a flag
// and gives zeros.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }

    template <typename T>
    T Read()
    {
        T value{};
        if (offset_ + sizeof(T) > size_) {
            ok_ = false;
            offset_ = size_;
            return value;
        }
        memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    // A string, or an ordinal (0xFFFF and a number) given as "#<number>".
    std::wstring ReadStringOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Read<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0 && ok_; c = Read<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }

    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t(3); }
    void Skip(size_t bytes) { offset_ += bytes; }

private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

// Predefined classes are stored as ordinals 0x80 to 0x85.
std::wstring ClassName(const std::wstring& read)
{
    static const wchar_t* const predefined[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
    if (read.size() > 1 && read[0] == L'#') {
        const int ordinal = std::stoi(read.substr(1));
        if (ordinal >= 0x80 && ordinal < 0x86)
            return predefined[ordinal - 0x80];
    }
    return read;
}

} // namespace

bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate* dialog)
{
    if (!module)
        module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)); // RT_DIALOG
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    TemplateReader reader(data, SizeofResource(module, found));
    if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF)
        return false;
    reader.Skip(sizeof(DWORD) * 2); // help id, extended style
    dialog->style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    reader.Skip(sizeof(short) * 2); // x, y
    dialog->cx = reader.Read<short>();
    dialog->cy = reader.Read<short>();
    reader.ReadStringOrOrdinal(); // menu
    reader.ReadStringOrOrdinal(); // window class
    dialog->caption = reader.ReadStringOrOrdinal();
    if (dialog->style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog->pointSize = reader.Read<WORD>();
        dialog->weight = reader.Read<WORD>();
        dialog->italic = reader.Read<BYTE>();
        dialog->charset = reader.Read<BYTE>();
        dialog->font = reader.ReadStringOrOrdinal();
    }
    dialog->items.clear();
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        reader.AlignToDword();
        DialogTemplateItem item;
        reader.Skip(sizeof(DWORD) * 2); // help id, extended style
        item.style = reader.Read<DWORD>();
        item.x = reader.Read<short>();
        item.y = reader.Read<short>();
        item.cx = reader.Read<short>();
        item.cy = reader.Read<short>();
        item.id = static_cast<int>(reader.Read<DWORD>());
        item.className = ClassName(reader.ReadStringOrOrdinal());
        item.text = reader.ReadStringOrOrdinal();
        reader.Skip(reader.Read<WORD>()); // creation data
        dialog->items.push_back(item);
    }
    return reader.Ok();
}
