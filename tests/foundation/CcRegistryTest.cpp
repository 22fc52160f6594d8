#include "foundation/CcRegistry.h"

#include "tests/support/ScopedRegKey.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// A value as the registry holds it, or its absence.
struct Value {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const Value& other) const
    {
        return exists == other.exists && (!exists || (type == other.type && data == other.data));
    }
};

Value Missing() { return {}; }

Value Dword(DWORD number)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
    return {true, REG_DWORD, {bytes, bytes + sizeof(number)}};
}

// Text of the given type, `characters` long including any nulls it is to carry.
Value Text(DWORD type, const wchar_t* text, size_t characters)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text);
    return {true, type, {bytes, bytes + characters * sizeof(wchar_t)}};
}

Value Sz(const wchar_t* text) { return Text(REG_SZ, text, wcslen(text) + 1); }

Value Binary(size_t bytes) { return {true, REG_BINARY, std::vector<BYTE>(bytes, 0xAB)}; }

std::ostream& operator<<(std::ostream& out, const Value& value)
{
    if (!value.exists)
        return out << "(missing)";
    return out << "type " << value.type << ", " << value.data.size() << " bytes";
}

constexpr wchar_t kName[] = L"Value";
constexpr DWORD kUntouched = 0xDEADBEEF;
const std::optional<Value> kUnchanged;

class CcRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(key.Get());
        ASSERT_EQ(registry.OpenKey(key.Path(), key.Root(), KEY_ALL_ACCESS), 1);
    }

    // Stores the value and returns what the registry made of it.
    Value Put(const Value& value)
    {
        RegDeleteValueW(key.Get(), kName);
        if (value.exists) {
            EXPECT_EQ(RegSetValueExW(key.Get(), kName, 0, value.type, value.data.data(),
                                     static_cast<DWORD>(value.data.size())),
                      ERROR_SUCCESS);
        }
        return Stored();
    }

    Value Stored(const wchar_t* name = kName)
    {
        Value value;
        DWORD bytes = 0;
        if (RegQueryValueExW(key.Get(), name, nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS)
            return Missing();
        value.exists = true;
        value.data.resize(bytes);
        RegQueryValueExW(key.Get(), name, nullptr, nullptr, value.data.data(), &bytes);
        return value;
    }

    ScopedRegKey key;
    CcRegistry registry;
};

} // namespace

TEST_F(CcRegistryTest, GetDWordReadsOnlyFourByteDwordsAndWritesBackWhatDoesNotFit)
{
    const struct {
        const char* what;
        Value stored;
        int writeBack;
        DWORD result;
        std::optional<Value> written;
    } cases[] = {
        {"a DWORD", Dword(5), 1, 5, kUnchanged},
        {"REG_SZ of 4 bytes", Sz(L"a"), 1, 77, kUnchanged},
        {"REG_SZ of 8 bytes", Sz(L"abc"), 1, 77, Dword(77)},
        {"REG_BINARY of 8 bytes", Binary(8), 1, 77, Dword(77)},
        {"REG_BINARY of 4 bytes", Binary(4), 1, 77, kUnchanged},
        {"missing", Missing(), 1, 77, Dword(77)},
        {"missing, no write-back", Missing(), 0, 77, kUnchanged},
        {"write-back other than 1", Sz(L"abc"), 2, 77, kUnchanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Value before = Put(c.stored);
        EXPECT_EQ(registry.GetDWord(kName, 77, c.writeBack), c.result);
        EXPECT_EQ(Stored(), c.written.value_or(before));
    }
}

TEST_F(CcRegistryTest, GetStringReadsTextTypesAndWritesBackTheDefault)
{
    const struct {
        const char* what;
        Value stored;
        int writeBack;
        const wchar_t* result;
        DWORD type;
        std::optional<Value> written;
    } cases[] = {
        {"REG_SZ", Sz(L"text"), 1, L"text", REG_SZ, kUnchanged},
        {"REG_MULTI_SZ", Text(REG_MULTI_SZ, L"one\0two\0", 9), 0, L"one", REG_MULTI_SZ, kUnchanged},
        {"REG_EXPAND_SZ", Text(REG_EXPAND_SZ, L"%SystemRoot%x", 14), 0, L"%SystemRoot%x", REG_EXPAND_SZ,
         kUnchanged},
        {"unterminated", Text(REG_SZ, L"abc", 3), 0, L"abc", REG_SZ, kUnchanged},
        {"empty data", Text(REG_SZ, L"", 0), 0, L"", REG_SZ, kUnchanged},
        {"a DWORD, write-back", Dword(5), 1, L"dflt", REG_SZ, Sz(L"dflt")},
        {"a DWORD", Dword(5), 0, L"dflt", kUntouched, kUnchanged},
        {"missing, write-back", Missing(), 1, L"dflt", REG_SZ, Sz(L"dflt")},
        {"missing", Missing(), 0, L"dflt", kUntouched, kUnchanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Value before = Put(c.stored);
        DWORD type = kUntouched;
        DWORD bytes = kUntouched;
        EXPECT_STREQ(registry.GetString(kName, L"dflt", c.writeBack, &type, &bytes), c.result);
        EXPECT_EQ(type, c.type);
        const Value after = Stored();
        EXPECT_EQ(after, c.written.value_or(before));
        if (after.exists && c.type != kUntouched) {
            EXPECT_EQ(bytes, after.data.size()) << "the out size is the stored size";
        }
    }
}

TEST_F(CcRegistryTest, SetValueStoresWideStringsWithTheirTerminator)
{
    EXPECT_EQ(registry.SetValue(kName, L"", REG_SZ, 0), 1);
    EXPECT_EQ(Stored(), Text(REG_SZ, L"", 1));
    EXPECT_EQ(registry.SetValue(kName, L"abc", REG_SZ, 0), 1);
    EXPECT_EQ(Stored(), Sz(L"abc"));
    EXPECT_EQ(registry.SetValue(kName, L"abc", REG_BINARY, 2), 1);
    EXPECT_EQ(Stored(), Text(REG_BINARY, L"a", 1));
    EXPECT_EQ(registry.SetDWord(kName, 9), 1);
    EXPECT_EQ(Stored(), Dword(9));
    EXPECT_EQ(registry.DeleteValue(kName), 1);
    EXPECT_EQ(registry.DeleteValue(kName), 0);
}

TEST_F(CcRegistryTest, DeleteKeyRemovesAWholeTree)
{
    for (const wchar_t* path : {L"Tree\\A\\B\\C", L"Tree\\A\\D", L"Tree\\E"}) {
        RegKey sub;
        ASSERT_EQ(RegCreateKeyExW(key.Get(), path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, sub.Put(), nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(sub.Get(), kName, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    }
    EXPECT_EQ(registry.DeleteKey(L"Tree"), 1);
    RegKey gone;
    EXPECT_EQ(RegOpenKeyExW(key.Get(), L"Tree", 0, KEY_READ, gone.Put()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.DeleteKey(L"Tree"), 0);
    EXPECT_EQ(registry.DeleteKeyTree(L"Tree"), 0);
}

TEST_F(CcRegistryTest, OneKeyPerObject)
{
    const HKEY first = registry.GetHandle();
    EXPECT_EQ(registry.CreateKey(L"Other", key.Get(), KEY_ALL_ACCESS), 0);
    EXPECT_EQ(registry.OpenKey(L"", key.Get(), KEY_READ), 0);
    EXPECT_EQ(registry.GetHandle(), first);
    EXPECT_EQ(registry.CloseKey(1), 1);
    EXPECT_FALSE(registry.IsOpen());
    EXPECT_EQ(registry.CloseKey(0), 1);

    // Closed: writes fail, reads give the defaults and leave the out parameters alone.
    DWORD type = kUntouched;
    DWORD bytes = kUntouched;
    EXPECT_EQ(registry.SetDWord(kName, 1), 0);
    EXPECT_EQ(registry.SetValue(kName, L"x", REG_SZ, 0), 0);
    EXPECT_EQ(registry.DeleteKey(L"Other"), 0);
    EXPECT_EQ(registry.GetDWord(kName, 3, 1), 3u);
    EXPECT_STREQ(registry.GetString(kName, L"d", 1, &type, &bytes), L"d");
    EXPECT_EQ(type, kUntouched);
    EXPECT_EQ(bytes, kUntouched);
    EXPECT_EQ(Stored(), Missing());

    EXPECT_EQ(registry.OpenKey(L"Other", key.Get(), KEY_READ), 0) << "a missing key does not open";
    EXPECT_EQ(registry.CreateKey(L"Other", key.Get(), KEY_ALL_ACCESS), 1);
    EXPECT_EQ(registry.SetDWord(kName, 1), 1);
}
