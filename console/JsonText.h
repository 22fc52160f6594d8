#pragma once

#include <string>

// Builds one JSON text. Members and elements are separated as they are added;
// the caller opens and closes objects and arrays in order.
//
//   JsonText json;
//   json.OpenObject();
//   json.Key(L"service"); json.String(L"running");
//   json.Key(L"inForce"); json.Null();
//   json.CloseObject();
class JsonText {
public:
    void OpenObject() { Open(L'{'); }
    void CloseObject() { Close(L'}'); }
    void OpenArray() { Open(L'['); }
    void CloseArray() { Close(L']'); }

    void Key(const wchar_t* name);
    void String(const std::wstring& value);
    void Number(long long value);
    void Bool(bool value);
    void Null();

    const std::wstring& Text() const { return text_; }

private:
    void Open(wchar_t bracket);
    void Close(wchar_t bracket);
    void BeforeValue();

    std::wstring text_;
    bool needsComma_ = false;
};

// value as a JSON string literal, quotes included: quote, backslash and control
// characters escaped, an unpaired surrogate written as \ufffd.
std::wstring JsonQuoted(const std::wstring& value);
