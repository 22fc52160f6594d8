#include "foundation/CEvent.h"
#include "foundation/CMMFData.h"
#include "foundation/CSynchronizer.h"
#include "foundation/CcCheckDualExec.h"
#include "foundation/NamedMutex.h"
#include "foundation/ObjectSecurity.h"
#include "foundation/ServiceObjects.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kBlockMutexStem[] = L"CMMF72C8753ADE4D408989E2A955914D8259";

// Exit code 0 when the named mutex was free, 1 while another thread holds it.
const ChildRole kTryLock(L"try-lock", [](const std::vector<std::wstring>& args) {
    KernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, args[0].c_str()));
    if (!mutex)
        return 2;
    const DWORD wait = WaitForSingleObject(mutex.Get(), 0);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED ? 0 : 1;
});

const ChildRole kCheck(L"check", [](const std::vector<std::wstring>& args) {
    CcCheckDualExec guard;
    return guard.Check(args[0].c_str());
});

// Exit code 1 when the named mutex already existed, 0 when this child created it, 2 on failure.
const ChildRole kCreateOwned(L"create-owned", [](const std::vector<std::wstring>& args) {
    const NamedMutex mutex = CreateNamedMutex(args[0].c_str(), nullptr, true, 0);
    return mutex.handle ? (mutex.alreadyExisted ? 1 : 0) : 2;
});

const ChildRole kWriteBlock(L"write-block", [](const std::vector<std::wstring>& args) {
    CMMFData block(args[0].c_str());
    return block.WriteBlock(args[1].c_str(), (args[1].size() + 1) * sizeof(wchar_t));
});

// A mutex that nobody else may open, as one created by a more privileged side.
KernelHandle DeniedMutex(const std::wstring& name)
{
    SECURITY_DESCRIPTOR descriptor;
    ACL acl;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&acl, sizeof(acl), ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    return KernelHandle(CreateMutexW(&attributes, FALSE, name.c_str()));
}

DWORD Elapsed(DWORD start) { return GetTickCount() - start; }

// Access denied is retried every second until the denying mutex goes away.
void ExpectRetriedWhileAccessIsDenied(const std::function<int(const wchar_t*)>& create, int expected)
{
    const std::wstring name = UniqueName(L"Denied");
    KernelHandle denied = DeniedMutex(name);
    ASSERT_TRUE(denied);
    if (KernelHandle probe(CreateMutexW(nullptr, FALSE, name.c_str())); probe)
        GTEST_SKIP() << "the mutex's DACL is not enforced here";
    std::thread release([&denied] {
        Sleep(1500);
        denied.Reset();
    });
    const DWORD start = GetTickCount();
    EXPECT_EQ(create(name.c_str()), expected);
    EXPECT_GE(Elapsed(start), 1000u);
    release.join();
}

} // namespace

TEST(NamedMutex, CreatedOwnedOrOpenedWithoutOwnershipAcrossProcesses)
{
    const std::wstring name = UniqueName(L"Owned");
    {
        const NamedMutex first = CreateNamedMutex(name.c_str(), nullptr, true, 0);
        ASSERT_TRUE(first.handle);
        EXPECT_FALSE(first.alreadyExisted);
        EXPECT_EQ(RunChild(L"try-lock", {name}), 1u) << "owned by its creator";
        EXPECT_EQ(RunChild(L"create-owned", {name}), 1u) << "another process opens it";
    }
    EXPECT_EQ(RunChild(L"create-owned", {name}), 0u) << "gone with its last handle";
}

TEST(NamedMutex, ARefusedNameFailsAtOnceWithItsError)
{
    const DWORD start = GetTickCount();
    const NamedMutex refused = CreateNamedMutex(L"Bogus\\Owned", nullptr, true, 3);
    EXPECT_FALSE(refused.handle);
    EXPECT_EQ(refused.error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_LT(Elapsed(start), 1000u);
}

TEST(CcCheckDualExec, OneInstancePerNameAcrossProcesses)
{
    const std::wstring name = UniqueName(L"Instance");
    CcCheckDualExec first;
    EXPECT_EQ(first.Check(name.c_str()), 0);
    EXPECT_EQ(RunChild(L"check", {name}), 1u);
    CcCheckDualExec second;
    EXPECT_EQ(second.Check(name.c_str()), 1);
    second.Close();
    first.Close();
    EXPECT_EQ(first.Check(name.c_str()), 0) << "the mutex went with its last handle";
    EXPECT_EQ(first.Check(L"Bogus\\Instance"), 2);
}

TEST(CcCheckDualExec, RetriesWhileAccessIsDenied)
{
    CcCheckDualExec guard;
    ExpectRetriedWhileAccessIsDenied([&guard](const wchar_t* name) { return guard.Check(name); }, 0);
}

TEST(CSynchronizer, RetriesWhileAccessIsDenied)
{
    ExpectRetriedWhileAccessIsDenied(
        [](const wchar_t* name) { return CSynchronizer(name, 1, INFINITE).IsObtained(); }, 1);
}

TEST(CSynchronizer, OneDestructorReleasesEveryAcquisitionOfTheThread)
{
    const std::wstring name = UniqueName(L"Sync");
    auto outer = std::make_unique<CSynchronizer>(name.c_str(), 1, INFINITE);
    CSynchronizer inner(name.c_str(), 1, INFINITE);
    ASSERT_EQ(outer->IsObtained(), 1);
    ASSERT_EQ(inner.IsObtained(), 1);
    EXPECT_EQ(RunChild(L"try-lock", {name}), 1u) << "held twice";
    outer.reset();
    EXPECT_EQ(RunChild(L"try-lock", {name}), 0u) << "free while the second object still lives";
}

TEST(CSynchronizer, ARefusedNameIsTriedOnceAndGuardsNothing)
{
    const DWORD start = GetTickCount();
    CSynchronizer lock(L"Bogus\\Sync", 1, INFINITE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(lock.IsObtained(), 0);
    EXPECT_LT(Elapsed(start), 1000u);
}

TEST(CEvent, CreatesOrOpensWithoutChangingTheState)
{
    const std::wstring name = UniqueName(L"Event");
    CEvent created(name.c_str(), TRUE, TRUE, 0, 0);
    ASSERT_EQ(created.IsObtained(), 1);
    EXPECT_EQ(created.GetWaitResult(), WAIT_FAILED) << "no wait asked for";

    CEvent opened(name.c_str(), FALSE, FALSE, 1, 0); // the existing event keeps its kind and state
    EXPECT_EQ(opened.GetWaitResult(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(created.GetHandle(), 0), WAIT_OBJECT_0);

    ResetEvent(created.GetHandle());
    CEvent waited(name.c_str(), TRUE, TRUE, 1, 10);
    EXPECT_EQ(waited.GetWaitResult(), static_cast<DWORD>(WAIT_TIMEOUT));

    CEvent refused(L"Bogus\\Event", TRUE, FALSE, 1, INFINITE);
    EXPECT_EQ(refused.IsObtained(), 0);
    EXPECT_EQ(refused.GetHandle(), nullptr);
}

TEST(CMMFData, BlockMutexKeepsTheMappingsNamespaceInFront)
{
    const std::wstring longest(259, L'n');
    const struct {
        std::wstring mapping;
        std::wstring mutex;
    } cases[] = {
        {L"Global\\TALODATA", std::wstring(L"Global\\") + kBlockMutexStem + L"TALODATA"},
        {L"TALODATA", kBlockMutexStem + std::wstring(L"TALODATA")},
        {L"Session\\1\\Block", std::wstring(L"Session\\1\\") + kBlockMutexStem + L"Block"},
        {longest, kBlockMutexStem + longest},
        {longest + L"n", L""}, // does not fit the 260-character buffer
        {L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mapping.size());
        CMMFData block(c.mapping.c_str());
        EXPECT_EQ(c.mutex, block.GetBlockMutexName());
        EXPECT_EQ(c.mutex.empty() ? L"" : c.mapping, block.GetMappingName());
    }
    CMMFData tooLong((longest + L"n").c_str());
    char byte = 0;
    EXPECT_EQ(tooLong.CreateBlock(16), 0);
    EXPECT_EQ(tooLong.WriteBlock(&byte, 1), 0);
    EXPECT_EQ(tooLong.ReadBlock(&byte, 1), 0);
}

TEST(CMMFData, WithoutABlockCopiesFailAtOnce)
{
    CMMFData block(UniqueName(L"NoBlock").c_str());
    char buffer[16];
    std::memset(buffer, 'u', sizeof(buffer));
    const DWORD start = GetTickCount();
    EXPECT_EQ(block.ReadBlock(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(block.WriteBlock(buffer, sizeof(buffer)), 0);
    EXPECT_LT(Elapsed(start), 1000u);
    EXPECT_EQ(std::string(buffer, sizeof(buffer)), std::string(16, 'u'));
}

TEST(CMMFData, BlockIsSharedWithAnotherProcess)
{
    const std::wstring name = L"Global\\" + UniqueName(L"Block");
    CMMFData service(name.c_str());
    ASSERT_EQ(service.CreateBlock(1160), 1);
    const HANDLE mapping = service.GetMappingHandle();
    EXPECT_EQ(service.CreateBlock(1160), 1);
    EXPECT_EQ(service.GetMappingHandle(), mapping) << "no second mapping";

    EXPECT_EQ(RunChild(L"write-block", {name, L"from the child"}), 1u);
    wchar_t text[32] = {};
    CMMFData client(name.c_str());
    ASSERT_EQ(client.ReadBlock(text, sizeof(text)), 1);
    EXPECT_STREQ(text, L"from the child");

    std::vector<char> tooLarge(128 * 1024);
    EXPECT_EQ(client.WriteBlock(tooLarge.data(), tooLarge.size()), 0) << "larger than the view";
    EXPECT_EQ(client.ReadBlock(tooLarge.data(), tooLarge.size()), 0);
}

TEST(CMMFData, WriteAndSignalSetsTheEventOnlyWithAWrite)
{
    const std::wstring name = L"Global\\" + UniqueName(L"Signalled");
    KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CMMFData client(name.c_str());
    const wchar_t text[] = L"request";
    EXPECT_EQ(client.WriteBlockAndSignal(text, sizeof(text), event.Get()), 0);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "no block, no signal";

    CMMFData service(name.c_str());
    ASSERT_EQ(service.CreateBlock(1160), 1);
    EXPECT_EQ(client.WriteBlockAndSignal(text, sizeof(text), event.Get()), 1);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
    wchar_t read[8] = {};
    ASSERT_EQ(service.ReadBlock(read, sizeof(read)), 1);
    EXPECT_STREQ(read, text);
}

TEST(CMMFData, AClosedBlockIsGoneForEveryone)
{
    const std::wstring name = L"Global\\" + UniqueName(L"Closed");
    CMMFData service(name.c_str());
    CMMFData client(name.c_str());
    ASSERT_EQ(service.CreateBlock(64), 1);
    const char written[] = "reply";
    ASSERT_EQ(service.WriteBlock(written, sizeof(written)), 1);
    char read[sizeof(written)] = {};
    ASSERT_EQ(client.ReadBlock(read, sizeof(read)), 1);
    EXPECT_STREQ(read, written);

    service.CloseBlock();
    EXPECT_EQ(service.GetMappingHandle(), nullptr);
    EXPECT_EQ(client.ReadBlock(read, sizeof(read)), 0);
    EXPECT_EQ(service.ReadBlock(read, sizeof(read)), 0);
    EXPECT_EQ(service.CreateBlock(64), 1) << "created anew";
    EXPECT_EQ(client.WriteBlock(written, sizeof(written)), 1);
}

TEST(CMMFData, CopiesWaitForTheBlockMutex)
{
    const std::wstring name = L"Global\\" + UniqueName(L"Guarded");
    CMMFData block(name.c_str());
    ASSERT_EQ(block.CreateBlock(64), 1);
    KernelHandle locked(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        CSynchronizer lock(block.GetBlockMutexName(), 1, INFINITE);
        EXPECT_EQ(lock.IsObtained(), 1);
        SetEvent(locked.Get());
        Sleep(300);
    });
    WaitForSingleObject(locked.Get(), INFINITE);
    const DWORD start = GetTickCount();
    char byte = 0;
    EXPECT_EQ(block.ReadBlock(&byte, 1), 1);
    EXPECT_GE(Elapsed(start), 200u);
    holder.join();
}

// The creator keeps its own handle of the block mutex: each copy still gives it back.
TEST(CMMFData, TheCreatorReleasesTheBlockMutexAfterEachCopy)
{
    const std::wstring name = L"Global\\" + UniqueName(L"Released");
    CMMFData block(name.c_str());
    ASSERT_EQ(block.CreateBlock(64), 1);
    char byte = 7;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(block.WriteBlock(&byte, 1), 1);
        ASSERT_EQ(block.ReadBlock(&byte, 1), 1);
    }
    DWORD waited = WAIT_FAILED;
    std::thread other([&] {
        const KernelHandle mutex(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, block.GetBlockMutexName()));
        waited = mutex ? WaitForSingleObject(mutex.Get(), 0) : WAIT_FAILED;
        if (waited == WAIT_OBJECT_0)
            ReleaseMutex(mutex.Get());
    });
    other.join();
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0));
}

namespace {

// A mutex of the name with the descriptor given in SDDL, as a user might make one.
KernelHandle SquatMutex(const std::wstring& name, const wchar_t* sddl)
{
    LocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, descriptor.Put(), nullptr))
        return KernelHandle();
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
    return KernelHandle(CreateMutexW(&attributes, FALSE, name.c_str()));
}

} // namespace

// An object left from an earlier run is the service's again, with its DACL put back;
// a name taken by an object of another kind, a user's or a denying one is refused.
TEST(ServiceObjects, TakeOverOnlyWhatTheSystemOwns)
{
    const std::wstring name = L"Global\\" + UniqueName(L"Channel");
    ServiceObject first = CreateServiceMutex(name.c_str());
    ASSERT_TRUE(first.handle);
    EXPECT_FALSE(first.existed);
    ServiceObject again = CreateServiceMutex(name.c_str());
    ASSERT_TRUE(again.handle) << again.error;
    EXPECT_TRUE(again.existed);

    EXPECT_FALSE(CreateServiceEvent(name.c_str()).handle) << "a mutex holds the name";
    EXPECT_FALSE(CreateServiceBlock(name.c_str(), 64).handle) << "a mutex holds the name";

    struct Squat {
        const char* what;
        const wchar_t* sddl;
    };
    const Squat squats[] = {
        {"owned by a user", L"O:WDD:(A;;GA;;;WD)"},
        {"denying the system", L"O:SYD:(D;;GA;;;SY)(D;;GA;;;BA)(A;;GA;;;WD)"},
    };
    for (const Squat& squat : squats) {
        SCOPED_TRACE(squat.what);
        const std::wstring squatted = L"Global\\" + UniqueName(L"Squatted");
        KernelHandle squatter = SquatMutex(squatted, squat.sddl);
        ASSERT_TRUE(squatter);
        const ServiceObject refused = CreateServiceMutex(squatted.c_str());
        EXPECT_FALSE(refused.handle);
        EXPECT_NE(refused.error, static_cast<DWORD>(ERROR_SUCCESS));
    }
}
