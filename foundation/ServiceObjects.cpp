#include "foundation/ServiceObjects.h"

#include "foundation/ObjectSecurity.h"

namespace {

// create makes or opens the object with the attributes it is given. An
// existing object of the name is opened with full access, which a user's
// deny entry refuses; its owner and DACL are then checked and set.
template <typename Create>
ServiceObject CreateWith(DWORD userAccess, Create create)
{
    ServiceObject object;
    ServiceSecurity security(userAccess);
    if (!security.Attributes()) {
        object.error = ERROR_INVALID_SECURITY_DESCR;
        return object;
    }
    object.handle.Reset(create(security.Attributes()));
    const DWORD error = GetLastError();
    if (!object.handle) {
        object.error = error != ERROR_SUCCESS ? error : ERROR_INVALID_HANDLE;
        return object;
    }
    object.existed = error == ERROR_ALREADY_EXISTS;
    if (object.existed && !security.Claim(object.handle.Get())) {
        object.handle.Reset();
        object.error = ERROR_INVALID_OWNER;
    }
    return object;
}

} // namespace

ServiceObject CreateServiceMutex(const wchar_t* name)
{
    return CreateWith(kUserMutexAccess,
                      [name](SECURITY_ATTRIBUTES* attributes) { return CreateMutexW(attributes, FALSE, name); });
}

ServiceObject CreateServiceEvent(const wchar_t* name)
{
    return CreateWith(kUserEventAccess,
                      [name](SECURITY_ATTRIBUTES* attributes) { return CreateEventW(attributes, TRUE, FALSE, name); });
}

ServiceObject CreateServiceBlock(const wchar_t* name, DWORD size)
{
    return CreateWith(kUserBlockAccess, [name, size](SECURITY_ATTRIBUTES* attributes) {
        return CreateFileMappingW(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0, size, name);
    });
}
