#include "foundation/CMMFData.h"

#include "foundation/Names.h"
#include "foundation/ObjectSecurity.h"
#include "foundation/ServiceObjects.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <utility>

namespace {

// Ownership of the block mutex for one copy, waited for no longer than the
// time given: any user may hold that mutex, and no side may hang on it.
class BlockLock {
public:
    BlockLock(HANDLE mutex, DWORD timeoutMs) : mutex_(mutex)
    {
        const DWORD waited = mutex_ ? WaitForSingleObject(mutex_, timeoutMs) : WAIT_FAILED;
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~BlockLock()
    {
        if (held_)
            ReleaseMutex(mutex_);
    }
    BlockLock(const BlockLock&) = delete;
    BlockLock& operator=(const BlockLock&) = delete;

    bool Held() const { return held_; }

private:
    HANDLE mutex_;
    bool held_ = false;
};

} // namespace

// The block mutex is named after the mapping, with the mapping name's namespace
// prefix ("Global\") moved in front: inside a kernel-object name a backslash
// names a directory, and "CMMF...Global\" names none, so every mutex creation
// would fail and no copy would be guarded.
CMMFData::CMMFData(const wchar_t* mappingName)
{
    blockMutexName_[0] = L'\0';
    mappingName_[0] = L'\0';
    const size_t length = mappingName ? wcslen(mappingName) : 0;
    if (length == 0 || length >= std::size(mappingName_))
        return;
    const wchar_t* lastSeparator = wcsrchr(mappingName, L'\\');
    const size_t prefix = lastSeparator ? static_cast<size_t>(lastSeparator - mappingName) + 1 : 0;
    const size_t fixedPart = wcslen(kBlockMutexFormat) - 2; // without its "%s"
    if (length + fixedPart >= std::size(blockMutexName_))
        return;
    wmemcpy(mappingName_, mappingName, length + 1);
    wmemcpy(blockMutexName_, mappingName, prefix);
    wsprintfW(blockMutexName_ + prefix, kBlockMutexFormat, mappingName + prefix);
}

CMMFData::~CMMFData()
{
    if (mapping_ || view_)
        CloseBlock();
}

// A block mutex held by someone else delays the close by the copy's time limit at most.
void CMMFData::CloseBlock()
{
    {
        BlockLock lock(blockMutex_.Get(), kBlockCopyWaitMs);
        view_.Reset();
        viewBytes_ = 0;
        mapping_.Reset();
    }
    blockMutex_.Reset();
}

// The block mutex first, then the block under it; both with the service's
// descriptor, or taken over from an earlier run of the service.
int CMMFData::CreateBlock(DWORD size)
{
    if (!IsUsable())
        return 0;
    if (mapping_)
        return 1;
    if (!blockMutex_) {
        ServiceObject mutex = CreateServiceMutex(blockMutexName_);
        createError_ = mutex.error;
        if (!mutex.handle)
            return 0;
        blockMutex_ = std::move(mutex.handle);
    }
    BlockLock lock(blockMutex_.Get(), kBlockCopyWaitMs);
    if (!lock.Held()) {
        createError_ = WAIT_TIMEOUT;
        return 0;
    }
    ServiceObject block = CreateServiceBlock(mappingName_, size);
    createError_ = block.error;
    if (!block.handle)
        return 0;
    mapping_ = std::move(block.handle);
    // The creator copies through one view for its life instead of mapping one per copy;
    // without it, its copies map their own like everybody else's.
    view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region;
    if (view_ && VirtualQuery(view_.Get(), &region, sizeof(region)) != 0)
        viewBytes_ = region.RegionSize;
    else
        view_.Reset();
    return 1;
}

int CMMFData::ReadBlock(void* destination, size_t bytes)
{
    return Copy(destination, bytes, false, nullptr);
}

int CMMFData::WriteBlock(const void* source, size_t bytes)
{
    return Copy(const_cast<void*>(source), bytes, true, nullptr);
}

int CMMFData::WriteBlockAndSignal(const void* source, size_t bytes, HANDLE event)
{
    return Copy(const_cast<void*>(source), bytes, true, event);
}

// A copy larger than the mapped view fails rather than run past it. Other
// sides open the block mutex and the block with a user's rights only, and
// never create them: without the service there is nothing to copy.
int CMMFData::Copy(void* buffer, size_t bytes, bool write, HANDLE signal)
{
    if (!IsUsable())
        return 0;
    KernelHandle openedMutex;
    if (!blockMutex_) {
        openedMutex.Reset(OpenMutexW(kUserMutexAccess, FALSE, blockMutexName_));
        if (!openedMutex)
            return 0;
    }
    const BlockLock lock(blockMutex_ ? blockMutex_.Get() : openedMutex.Get(), kBlockCopyWaitMs);
    if (!lock.Held())
        return 0;
    void* base = view_.Get();
    size_t available = viewBytes_;
    KernelHandle mapping;
    MappedView view;
    if (!base) {
        const DWORD access = write ? kUserBlockAccess : FILE_MAP_READ;
        mapping.Reset(OpenFileMappingW(access, FALSE, mappingName_));
        if (!mapping)
            return 0;
        view.Reset(MapViewOfFile(mapping.Get(), access, 0, 0, 0));
        MEMORY_BASIC_INFORMATION region;
        if (!view || VirtualQuery(view.Get(), &region, sizeof(region)) == 0)
            return 0;
        base = view.Get();
        available = region.RegionSize;
    }
    if (bytes > available)
        return 0;
    if (write)
        std::memcpy(base, buffer, bytes);
    else
        std::memcpy(buffer, base, bytes);
    if (signal)
        SetEvent(signal);
    return 1;
}
