#include "foundation/CMMFData.h"

#include "foundation/CSynchronizer.h"
#include "foundation/Names.h"
#include "foundation/ObjectSecurity.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <optional>

namespace {

// Ownership of a block mutex handle held for the object's life, for one copy.
class BlockLock {
public:
    explicit BlockLock(HANDLE mutex) : mutex_(mutex) { WaitForSingleObject(mutex_, INFINITE); }
    ~BlockLock() { ReleaseMutex(mutex_); }
    BlockLock(const BlockLock&) = delete;
    BlockLock& operator=(const BlockLock&) = delete;

private:
    HANDLE mutex_;
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

void CMMFData::CloseBlock()
{
    {
        CSynchronizer lock(blockMutexName_, 1, INFINITE);
        view_.Reset();
        viewBytes_ = 0;
        mapping_.Reset();
    }
    blockMutex_.Reset();
}

int CMMFData::CreateBlock(DWORD size)
{
    if (!IsUsable())
        return 0;
    CSynchronizer lock(blockMutexName_, 1, INFINITE);
    if (mapping_)
        return 1;
    BlockSecurity security;
    if (BuildBlockSecurity(security) != ERROR_SUCCESS)
        return 0;
    // A mapping that already exists is opened: it counts as success.
    mapping_.Reset(
        CreateFileMappingW(INVALID_HANDLE_VALUE, security.Attributes(), PAGE_READWRITE, 0, size, mappingName_));
    if (!mapping_)
        return 0;
    // The creator copies through one view for its life instead of mapping one per copy;
    // without it, its copies map their own like everybody else's.
    view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region;
    if (view_ && VirtualQuery(view_.Get(), &region, sizeof(region)) != 0)
        viewBytes_ = region.RegionSize;
    else
        view_.Reset();
    // Likewise the block mutex: without a handle of its own, each copy opens it by name.
    OpenSecurity everyone;
    blockMutex_.Reset(CreateMutexW(everyone.Attributes(), FALSE, blockMutexName_));
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

// A copy larger than the mapped view fails rather than run past it.
int CMMFData::Copy(void* buffer, size_t bytes, bool write, HANDLE signal)
{
    if (!IsUsable())
        return 0;
    const DWORD access = write ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
    std::optional<BlockLock> heldLock;
    std::optional<CSynchronizer> namedLock;
    if (blockMutex_)
        heldLock.emplace(blockMutex_.Get());
    else
        namedLock.emplace(blockMutexName_, 1, INFINITE);
    void* base = view_.Get();
    size_t available = viewBytes_;
    KernelHandle mapping;
    MappedView view;
    if (!base) {
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
