#pragma once

#include <windows.h>

// A reference-counted UTF-16 string with copy-on-write. The object holds one
// pointer to the text of a shared block; the block's header (count, length,
// capacity) lies just before the text. Every empty string shares one static
// block that is never counted or freed. Only the count is thread-safe.
class CcString {
public:
    CcString();
    CcString(const wchar_t* text);
    CcString(const CcString& source);
    virtual ~CcString();

    CcString& operator=(const CcString& source);
    CcString& operator=(const wchar_t* text);

    // Back to the static empty block.
    void Clear();

    // A writable buffer of at least `minimum` characters, private to this string.
    wchar_t* BeginWrite(int minimum);
    // Ends a write: the new length, or -1 to measure up to the first null.
    void EndWrite(int length);

    // printf-style formatting with the Windows runtime's meaning of %s (wide) and %S (narrow).
    void Format(const wchar_t* format, ...);

    operator const wchar_t*() const { return text_; }
    const wchar_t* GetString() const { return text_; }
    int GetLength() const { return Header()->length; }
    bool IsEmpty() const { return Header()->length == 0; }

    // The block as it stands, for tests and diagnostics.
    int GetCapacity() const { return Header()->capacity; }
    LONG GetRefCount() const { return Header()->refs; }
    bool IsStaticEmpty() const;

private:
    struct Block {
        LONG refs;
        int length;
        int capacity;
        wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
    };
    static_assert(sizeof(Block) == 12, "the block header is three 32-bit words");

    Block* Header() const { return reinterpret_cast<Block*>(text_) - 1; }
    static Block* NewBlock(int length);
    static void Release(Block* block);
    void Attach(Block* block) { text_ = block->Text(); }
    void AssignText(const wchar_t* text, int length);

    wchar_t* text_;
};
