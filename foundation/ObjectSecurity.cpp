#include "foundation/ObjectSecurity.h"

OpenSecurity::OpenSecurity()
{
    built_ = InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, nullptr, FALSE);
    attributes_ = {sizeof(attributes_), &descriptor_, FALSE};
}

namespace {

struct Trustee {
    SID_IDENTIFIER_AUTHORITY authority;
    BYTE count;
    DWORD subAuthorities[2];
};

DWORD LastErrorOr(DWORD fallback)
{
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

} // namespace

DWORD BuildBlockSecurity(BlockSecurity& security)
{
    static const Trustee trustees[] = {
        {SECURITY_WORLD_SID_AUTHORITY, 1, {SECURITY_WORLD_RID}},
        {SECURITY_NT_AUTHORITY, 1, {SECURITY_LOCAL_SYSTEM_RID}},
        {SECURITY_CREATOR_SID_AUTHORITY, 1, {SECURITY_CREATOR_OWNER_RID}},
        {SECURITY_NT_AUTHORITY, 2, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}},
    };
    const DWORD aclBytes = 40 + GetSidLengthRequired(2) + 3 * GetSidLengthRequired(1);
    if (aclBytes > sizeof(security.acl_))
        return ERROR_INSUFFICIENT_BUFFER;
    ACL* acl = reinterpret_cast<ACL*>(security.acl_);
    if (!InitializeAcl(acl, aclBytes, ACL_REVISION))
        return LastErrorOr(ERROR_INVALID_ACL);
    for (const Trustee& trustee : trustees) {
        BYTE sidBuffer[SECURITY_MAX_SID_SIZE];
        PSID sid = sidBuffer;
        SID_IDENTIFIER_AUTHORITY authority = trustee.authority;
        if (!InitializeSid(sid, &authority, trustee.count))
            return LastErrorOr(ERROR_INVALID_SID);
        for (BYTE i = 0; i < trustee.count; ++i)
            *GetSidSubAuthority(sid, i) = trustee.subAuthorities[i];
        if (!AddAccessAllowedAce(acl, ACL_REVISION, kBlockAccess, sid))
            return LastErrorOr(ERROR_INVALID_ACL);
    }
    if (!InitializeSecurityDescriptor(&security.descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&security.descriptor_, TRUE, acl, FALSE)) {
        return LastErrorOr(ERROR_INVALID_SECURITY_DESCR);
    }
    security.attributes_ = {sizeof(security.attributes_), &security.descriptor_, FALSE};
    return ERROR_SUCCESS;
}
