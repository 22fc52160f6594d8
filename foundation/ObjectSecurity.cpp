#include "foundation/ObjectSecurity.h"

#include <aclapi.h>
#include <sddl.h>
#include <string>

OpenSecurity::OpenSecurity()
{
    built_ = InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, nullptr, FALSE);
    attributes_ = {sizeof(attributes_), &descriptor_, FALSE};
}

// SDDL: owner LocalSystem; a protected DACL for LocalSystem, Administrators,
// INTERACTIVE (S-1-5-4) and Authenticated Users (S-1-5-11).
ServiceSecurity::ServiceSecurity(DWORD userAccess)
{
    wchar_t mask[16];
    wsprintfW(mask, L"0x%08lx", userAccess);
    const std::wstring sddl = std::wstring(L"O:SYD:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;") + mask + L";;;IU)(A;;" + mask +
                              L";;;AU)";
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor_.Put(),
                                                             nullptr)) {
        attributes_ = {sizeof(attributes_), descriptor_.Get(), FALSE};
    }
}

bool ServiceSecurity::Claim(HANDLE object) const
{
    BOOL present = FALSE, defaulted = FALSE;
    ACL* dacl = nullptr;
    if (!descriptor_ || !GetSecurityDescriptorDacl(descriptor_.Get(), &present, &dacl, &defaulted) || !dacl)
        return false;
    PSID owner = nullptr;
    LocalMemory current;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        current.Put()) != ERROR_SUCCESS ||
        !owner) {
        return false;
    }
    if (!IsWellKnownSid(owner, WinLocalSystemSid) && !IsWellKnownSid(owner, WinBuiltinAdministratorsSid))
        return false;
    return SetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           nullptr, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}
