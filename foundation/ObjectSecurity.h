#pragma once

#include <windows.h>

// Everyone has full access: the descriptor of the mutexes and events that the
// service and the user programs share (a present, null DACL).
class OpenSecurity {
public:
    OpenSecurity();
    OpenSecurity(const OpenSecurity&) = delete;
    OpenSecurity& operator=(const OpenSecurity&) = delete;

    // Null, that is default security, if the descriptor could not be built.
    SECURITY_ATTRIBUTES* Attributes() { return built_ ? &attributes_ : nullptr; }

private:
    SECURITY_DESCRIPTOR descriptor_;
    SECURITY_ATTRIBUTES attributes_;
    bool built_ = false;
};

// The shared block's descriptor: a DACL granting full access to the section to
// Everyone, LocalSystem, CREATOR OWNER and Administrators, in that order, so that
// every user can open the block the service created.
class BlockSecurity {
public:
    BlockSecurity() = default;
    BlockSecurity(const BlockSecurity&) = delete;
    BlockSecurity& operator=(const BlockSecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

private:
    friend DWORD BuildBlockSecurity(BlockSecurity& security);

    // The ACL header and four ACE headers, one SID of two and three of one sub-authority.
    static constexpr DWORD kAclBytes = 40 + (8 + 2 * 4) + 3 * (8 + 1 * 4);

    SECURITY_DESCRIPTOR descriptor_ = {};
    alignas(DWORD) BYTE acl_[kAclBytes] = {};
    SECURITY_ATTRIBUTES attributes_ = {};
};

// Standard rights required and every section right.
constexpr DWORD kBlockAccess = 0xF003F;

// Fills the descriptor and attributes; returns ERROR_SUCCESS or the error of the
// first step that failed. The object must outlive the use of its attributes.
DWORD BuildBlockSecurity(BlockSecurity& security);
