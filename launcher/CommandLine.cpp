#include "launcher/CommandLine.h"

namespace {

// Dropped words (the program's path, ignored extras) go here, so that they are
// measured like any other value.
constexpr int kScratchChars = 1000;

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

bool IsSwitchCharacter(wchar_t c)
{
    return c == L'/' || c == L'-';
}

const wchar_t* SkipBlanks(const wchar_t* p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

// Copies the value at *cursor into buffer (capacity characters) and moves the
// cursor past it. A quoted value runs to the closing quote, which is consumed;
// any other to a blank, a switch character or the end, which are not. False
// when the value has capacity or more characters; the buffer then holds what fits.
bool CopyValue(const wchar_t** cursor, wchar_t* buffer, int capacity)
{
    const wchar_t* p = *cursor;
    const bool quoted = *p == L'"';
    if (quoted)
        ++p;
    int length = 0;
    while (*p && (quoted ? *p != L'"' : !IsBlank(*p) && !IsSwitchCharacter(*p))) {
        if (length < capacity - 1)
            buffer[length] = *p;
        ++length;
        ++p;
    }
    if (capacity > 0)
        buffer[length < capacity ? length : capacity - 1] = L'\0';
    if (quoted && *p == L'"')
        ++p;
    *cursor = p;
    return length < capacity;
}

OptionEntry* FindSwitch(OptionEntry* table, wchar_t letter)
{
    for (OptionEntry* row = table; row->kind != OPT_END; ++row) {
        if (row->kind == OPT_SWITCH && row->letter == letter)
            return row;
    }
    return nullptr;
}

OptionEntry* FindFreePositional(OptionEntry* table)
{
    for (OptionEntry* row = table; row->kind != OPT_END; ++row) {
        if (row->kind == OPT_POSITIONAL && row->buffer && row->bufferLength > 0 && row->buffer[0] == L'\0')
            return row;
    }
    return nullptr;
}

void ResetTable(OptionEntry* table)
{
    for (OptionEntry* row = table; row->kind != OPT_END; ++row) {
        if (row->kind != OPT_SWITCH && row->kind != OPT_POSITIONAL)
            continue;
        if (row->kind == OPT_SWITCH && row->flag)
            *row->flag = 0;
        if (row->buffer && row->bufferLength > 0)
            row->buffer[0] = L'\0';
    }
}

WORD Fail(WORD code, const wchar_t* word, const wchar_t** errorPosition)
{
    if (errorPosition)
        *errorPosition = word;
    return code;
}

} // namespace

WORD ParseCommandLine(const wchar_t* line, int lineHasProgramName, OptionEntry* table,
                      const wchar_t** errorPosition, int ignoreUnknown, int skipBlanksBeforeValue)
{
    ResetTable(table);
    if (errorPosition)
        *errorPosition = nullptr;
    wchar_t scratch[kScratchChars];
    bool positionalSeen = false;
    const wchar_t* p = line ? line : L"";
    for (;;) {
        p = SkipBlanks(p);
        if (!*p)
            return PARSE_OK;
        const wchar_t* const word = p;

        if (IsSwitchCharacter(*p)) {
            p = SkipBlanks(p + 1);
            if (!*p)
                return Fail(PARSE_NO_LETTER, word, errorPosition);
            OptionEntry* row = FindSwitch(table, *p++);
            if (!row) {
                if (!ignoreUnknown)
                    return Fail(PARSE_UNKNOWN_SWITCH, word, errorPosition);
                continue;
            }
            if (row->flag)
                *row->flag = 1;
            if (!row->buffer)
                continue;
            if (skipBlanksBeforeValue) {
                p = SkipBlanks(p);
                if (!*p)
                    return PARSE_OK;
            }
            if (!CopyValue(&p, row->buffer, row->bufferLength))
                return Fail(PARSE_TOO_LONG, word, errorPosition);
            continue;
        }

        OptionEntry* row = nullptr;
        if (!lineHasProgramName || positionalSeen) {
            row = FindFreePositional(table);
            if (!row && !ignoreUnknown)
                return Fail(PARSE_EXTRA_ARGUMENT, word, errorPosition);
        }
        positionalSeen = true;
        const bool fits = row ? CopyValue(&p, row->buffer, row->bufferLength) : CopyValue(&p, scratch, kScratchChars);
        if (!fits)
            return Fail(PARSE_TOO_LONG, word, errorPosition);
    }
}

int ReadEndSwitch(const wchar_t* commandLine)
{
    int endRequested = 0;
    OptionEntry options[] = {
        {OPT_SWITCH, L'E', &endRequested, nullptr, 0},
        {OPT_SWITCH, L'e', &endRequested, nullptr, 0},
        {OPT_END, 0, nullptr, nullptr, 0},
    };
    if (ParseCommandLine(commandLine, 1, options, nullptr, 1, 1) != PARSE_OK)
        endRequested = 0;
    return endRequested;
}
