#include "foundation/CcString.h"

#include "foundation/CcException.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// The one block of every empty string: never counted, never freed, never written.
struct StaticEmptyBlock {
    LONG refs;
    int length;
    int capacity;
    wchar_t text;
};
StaticEmptyBlock g_empty = {-1, 0, 0, L'\0'};
static_assert(offsetof(StaticEmptyBlock, text) == 12, "the text follows the header");

wchar_t* EmptyText() { return &g_empty.text; }

int CapacityFor(int length)
{
    for (int size : {64, 128, 256, 512}) {
        if (length <= size)
            return size;
    }
    return length;
}

// Lengths beyond the 32-bit header cannot be stored: such a text cannot be allocated either.
int CheckedLength(size_t length)
{
    if (length > static_cast<size_t>(INT_MAX) - 1)
        throw CcExceptionMemory();
    return static_cast<int>(length);
}

// The Windows runtime reads %s in a wide format as a wide string and %S as a narrow one.
// libstdc++ switches mingw-w64 to its own C99 formatter, which reads them the other way
// round, so mingw builds call the runtime's formatter by its own name.
int FormatWide(wchar_t* buffer, size_t count, const wchar_t* format, va_list args)
{
#if defined(__MINGW32__)
    return _vsnwprintf(buffer, count, format, args);
#else
    return vswprintf(buffer, count, format, args);
#endif
}

int ReadNumber(const wchar_t*& p)
{
    int value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        value = std::min(value * 10 + (*p - L'0'), INT_MAX / 16);
    return value;
}

enum class Size { Default, Narrow, Wide, Int64 };

// An upper bound on the length of the formatted text. Walks the arguments the way the
// formatter will, so it must consume exactly what each conversion consumes.
int EstimateLength(const wchar_t* format, va_list args)
{
    long long total = 0;
    const wchar_t* p = format;
    while (*p) {
        if (*p != L'%' || p[1] == L'%') {
            p += *p == L'%' ? 2 : 1;
            ++total;
            continue;
        }
        ++p;
        int item = 0;
        for (; *p == L' ' || *p == L'+' || *p == L'-' || *p == L'0' || *p == L'#'; ++p) {
            if (*p == L'#')
                item += 2;
        }
        int width = 0;
        if (*p == L'*') {
            width = va_arg(args, int);
            ++p;
        } else {
            width = ReadNumber(p);
        }
        int precision = -1; // not given
        if (*p == L'.') {
            ++p;
            if (*p == L'*') {
                precision = va_arg(args, int);
                ++p;
            } else {
                precision = ReadNumber(p);
            }
        }
        Size size = Size::Default;
        for (;; ++p) {
            if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
                size = Size::Int64;
                p += 2;
            } else if (*p == L'h') {
                size = Size::Narrow;
            } else if (*p == L'l') {
                size = Size::Wide;
            } else if (*p != L'F' && *p != L'N' && *p != L'L') {
                break;
            }
        }
        const long long given = static_cast<long long>(width) + std::max(precision, 0);
        const wchar_t type = *p;
        if (type)
            ++p;
        switch (type) {
        case L'c':
        case L'C':
        case L's':
        case L'S': {
            int length = 2;
            if (type == L'c' || type == L'C') {
                va_arg(args, int);
            } else {
                const bool wide = type == L's' ? size != Size::Narrow : size == Size::Wide;
                const void* text = va_arg(args, const void*);
                if (!text)
                    length = 6;
                else if (wide)
                    length = CheckedLength(wcslen(static_cast<const wchar_t*>(text)));
                else
                    length = CheckedLength(strlen(static_cast<const char*>(text)));
                length = std::max(length, 1);
            }
            if (precision > 0)
                length = std::min(length, precision);
            item += std::max(length, width);
            break;
        }
        case L'd':
        case L'i':
        case L'u':
        case L'x':
        case L'X':
        case L'o':
        case L'p':
            if (type == L'p')
                va_arg(args, void*);
            else if (size == Size::Int64)
                va_arg(args, long long);
            else
                va_arg(args, int);
            item += static_cast<int>(std::max(32LL, given));
            break;
        case L'e':
        case L'E':
        case L'g':
        case L'G':
            va_arg(args, double);
            item += static_cast<int>(std::max(128LL, given));
            break;
        case L'f':
            item += std::max(_scwprintf(L"%*.*f", width, precision, va_arg(args, double)), 0) + 6;
            break;
        case L'n':
            va_arg(args, void*);
            break;
        default:
            break;
        }
        total += item;
    }
    return CheckedLength(static_cast<size_t>(total));
}

} // namespace

CcString::CcString() : text_(EmptyText()) {}

CcString::CcString(const wchar_t* text) : text_(EmptyText())
{
    if (text && *text)
        AssignText(text, CheckedLength(wcslen(text)));
}

CcString::CcString(const CcString& source) : text_(EmptyText())
{
    Block* block = source.Header();
    if (block->refs > 0) {
        InterlockedIncrement(&block->refs);
        Attach(block);
    } else {
        AssignText(source.text_, block->length);
    }
}

CcString::~CcString()
{
    Release(Header());
}

CcString& CcString::operator=(const CcString& source)
{
    if (text_ == source.text_)
        return *this;
    Block* mine = Header();
    Block* theirs = source.Header();
    if ((mine->refs < 0 && !IsStaticEmpty()) || theirs->refs < 0) {
        AssignText(source.text_, theirs->length);
    } else {
        InterlockedIncrement(&theirs->refs);
        Release(mine);
        Attach(theirs);
    }
    return *this;
}

CcString& CcString::operator=(const wchar_t* text)
{
    AssignText(text, text ? CheckedLength(wcslen(text)) : 0);
    return *this;
}

bool CcString::IsStaticEmpty() const
{
    return text_ == EmptyText();
}

CcString::Block* CcString::NewBlock(int length)
{
    const int capacity = CapacityFor(length);
    const size_t bytes = sizeof(Block) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
    Block* block = static_cast<Block*>(CheckAllocation(std::malloc(bytes)));
    block->refs = 1;
    block->length = length;
    block->capacity = capacity;
    block->Text()[length] = L'\0';
    return block;
}

void CcString::Release(Block* block)
{
    if (block->Text() == EmptyText())
        return;
    if (InterlockedDecrement(&block->refs) <= 0)
        std::free(block);
}

// The text may lie inside this string's own block: it is copied before that block goes.
void CcString::AssignText(const wchar_t* text, int length)
{
    Block* block = Header();
    if (length == 0) {
        if (block->refs > 1) {
            Release(block);
            text_ = EmptyText();
        } else if (!IsStaticEmpty()) {
            block->length = 0;
            text_[0] = L'\0';
        }
        return;
    }
    if (block->refs > 1 || block->capacity < length) {
        Block* fresh = NewBlock(length);
        wmemcpy(fresh->Text(), text, length);
        Release(block);
        Attach(fresh);
        return;
    }
    wmemmove(text_, text, length);
    block->length = length;
    text_[length] = L'\0';
}

void CcString::Clear()
{
    if (IsStaticEmpty())
        return;
    if (Header()->refs >= 0) {
        Release(Header());
        text_ = EmptyText();
    } else {
        AssignText(L"", 0);
    }
}

wchar_t* CcString::BeginWrite(int minimum)
{
    Block* block = Header();
    if (block->refs > 1 || block->capacity < minimum) {
        const int length = block->length;
        Block* fresh = NewBlock(std::max(minimum, length));
        wmemcpy(fresh->Text(), text_, static_cast<size_t>(length) + 1);
        fresh->length = length;
        Release(block);
        Attach(fresh);
    }
    return text_;
}

// Measuring stops at the capacity, so a buffer filled without a terminator cannot be overrun.
void CcString::EndWrite(int length)
{
    if (Header()->refs > 1)
        BeginWrite(0);
    if (IsStaticEmpty())
        return;
    Block* block = Header();
    if (length < 0)
        length = static_cast<int>(wcsnlen(text_, static_cast<size_t>(block->capacity)));
    length = std::min(length, block->capacity);
    block->length = length;
    text_[length] = L'\0';
}

// Formats into a string of its own first: the arguments may point into this one.
void CcString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list estimate;
    va_copy(estimate, args);
    const int length = EstimateLength(format, estimate);
    va_end(estimate);

    CcString result;
    if (length > 0) {
        wchar_t* buffer = result.BeginWrite(length);
        FormatWide(buffer, static_cast<size_t>(result.GetCapacity()) + 1, format, args);
        result.EndWrite(-1);
    }
    va_end(args);
    *this = result;
}
