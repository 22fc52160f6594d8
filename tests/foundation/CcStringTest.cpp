#include "foundation/CcString.h"

#include <gtest/gtest.h>

#include <string>

TEST(CcString, BlockSizeClasses)
{
    const struct {
        int length;
        int capacity;
    } cases[] = {{1, 64}, {64, 64}, {65, 128}, {128, 128}, {129, 256}, {256, 256}, {257, 512}, {512, 512}, {513, 513}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::wstring text(c.length, L'x');
        CcString s(text.c_str());
        EXPECT_EQ(s.GetLength(), c.length);
        EXPECT_EQ(s.GetCapacity(), c.capacity);
        EXPECT_EQ(s.GetRefCount(), 1);
        EXPECT_EQ(text, s.GetString());
    }
}

TEST(CcString, EmptyStringsShareTheUncountedStaticBlock)
{
    CcString fromNull(nullptr);
    CcString fromEmpty(L"");
    CcString copy(fromEmpty);
    CcString assigned;
    assigned = copy;
    for (const CcString* s : {&fromNull, &fromEmpty, &copy, &assigned}) {
        EXPECT_TRUE(s->IsStaticEmpty());
        EXPECT_EQ(s->GetRefCount(), -1);
        EXPECT_STREQ(*s, L"");
    }
}

TEST(CcString, CopiesShareAndAWriteUnsharesOnce)
{
    CcString a(L"shared");
    CcString b(a);
    CcString c;
    c = a;
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());
    EXPECT_EQ(a.GetRefCount(), 3);

    wchar_t* buffer = b.BeginWrite(0);
    EXPECT_NE(buffer, a.GetString());
    buffer[0] = L'S';
    b.EndWrite(-1);
    EXPECT_EQ(b.BeginWrite(0), buffer) << "a private block is written in place";
    EXPECT_STREQ(b, L"Shared");
    EXPECT_STREQ(a, L"shared");
    EXPECT_EQ(a.GetRefCount(), 2);
    EXPECT_EQ(b.GetRefCount(), 1);

    c.EndWrite(3); // ending a write on a shared block also unshares it
    EXPECT_STREQ(c, L"sha");
    EXPECT_STREQ(a, L"shared");
    EXPECT_EQ(a.GetRefCount(), 1);
}

TEST(CcString, EmptyTextKeepsAPrivateBlockUntilClear)
{
    CcString s(L"some text");
    const wchar_t* block = s.GetString();
    s = L"";
    EXPECT_EQ(s.GetString(), block);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_FALSE(s.IsStaticEmpty());
    s.Clear();
    EXPECT_TRUE(s.IsStaticEmpty());

    CcString shared(L"text");
    CcString other(shared);
    other = L""; // a shared block is left, not emptied
    EXPECT_TRUE(other.IsStaticEmpty());
    EXPECT_STREQ(shared, L"text");
}

TEST(CcString, EndWriteMeasuresUpToTheFirstNull)
{
    CcString s(L"a rather longer text");
    wchar_t* buffer = s.BeginWrite(4);
    buffer[0] = L'o';
    buffer[1] = L'k';
    buffer[2] = L'\0';
    s.EndWrite(-1);
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_STREQ(s, L"ok");

    // A buffer filled without any terminator is measured only up to its capacity.
    buffer = s.BeginWrite(64);
    std::fill(buffer, buffer + s.GetCapacity() + 1, L'z');
    s.EndWrite(-1);
    EXPECT_EQ(s.GetLength(), s.GetCapacity());
}

TEST(CcString, AssignsTextFromItsOwnBlock)
{
    CcString s(L"hello world");
    s = s.GetString() + 6;
    EXPECT_STREQ(s, L"world");

    CcString t(std::wstring(600, L'y').c_str());
    CcString keep(t);
    t = (std::wstring(L"x") + t.GetString()).c_str();
    t = t.GetString() + 1;
    EXPECT_EQ(t.GetLength(), 600);
    EXPECT_STREQ(t, keep);
}

TEST(CcString, FormatsLikeTheWindowsRuntime)
{
    CcString s;
    s.Format(L"%d|%s|%I64d|%.3f", 42, L"wide", 1LL << 40, 3.14159);
    EXPECT_STREQ(s, L"42|wide|1099511627776|3.142");
    s.Format(L"[%5s|%-4d|%c|%S|%ls|%hs|%%|%x]", L"ab", 7, L'c', "narrow", L"ls", "hs", 255);
    EXPECT_STREQ(s, L"[   ab|7   |c|narrow|ls|hs|%|ff]");
    s.Format(L"%s and %s", s.GetString(), L"more"); // an argument from the string itself
    EXPECT_STREQ(s, L"[   ab|7   |c|narrow|ls|hs|%|ff] and more");
    s.Format(L"");
    EXPECT_STREQ(s, L"");
    EXPECT_EQ(s.GetLength(), 0);
}

// Behind 600 ordinary characters the block is exactly as large as the reservation.
TEST(CcString, FormatReservesAnUpperBoundPerConversion)
{
    const std::wstring pad(600, L'.');
    auto reserved = [&pad](const wchar_t* conversion, auto... args) {
        CcString s;
        s.Format((pad + conversion).c_str(), args...);
        return s.GetCapacity() - 600;
    };
    EXPECT_EQ(reserved(L"%s", static_cast<const wchar_t*>(nullptr)), 6);
    EXPECT_EQ(reserved(L"%s", L"abc"), 3);
    EXPECT_EQ(reserved(L"%s", L""), 1);
    EXPECT_EQ(reserved(L"%8s", L"abc"), 8);
    EXPECT_EQ(reserved(L"%.2s", L"abcdef"), 2);
    EXPECT_EQ(reserved(L"%S|%hs", "narrow", "hs"), 6 + 1 + 2);
    EXPECT_EQ(reserved(L"%c", L'c'), 2);
    EXPECT_EQ(reserved(L"%%"), 1);
    EXPECT_EQ(reserved(L"%d", 1), 32);
    EXPECT_EQ(reserved(L"%#x", 1), 34);
    EXPECT_EQ(reserved(L"%*d", 50, 1), 50);
    EXPECT_EQ(reserved(L"%I64d%s", 1LL << 40, L"abc"), 35);
    EXPECT_EQ(reserved(L"%e", 1.0), 128);
    EXPECT_EQ(reserved(L"%.3f", 3.14159), 5 + 6);
    EXPECT_EQ(reserved(L"%f", 2.5), 8 + 6);
}
