#pragma once

// Keeps what a registry key held (values and subkeys) when it was taken, and puts
// it back at the end: for tests and tools that must use the product's own keys
// (the presets, the device list). A key that existed is restored in place.
//   RegistrySnapshot presets(HKEY_CURRENT_USER, L"SOFTWARE\\Korvath\\Airvane\\Setting");
// A key that did not exist is removed again, with any parent the test created for it.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class RegistrySnapshot {
public:
    RegistrySnapshot(HKEY root, std::wstring path);
    ~RegistrySnapshot();
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

    // Removes the key with its subtree (the state "did not exist").
    void Remove() const;
    // Puts back what the key held: values and subkeys added since are removed.
    void Restore() const;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Node {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Node>> children;
    };

    static void Capture(HKEY key, Node& node);
    static void WriteContents(HKEY key, const Node& node);

    HKEY root_;
    std::wstring path_;
    std::wstring createdAncestor_; // the outermost key of path_ that did not exist, if any
    Node node_;
};
