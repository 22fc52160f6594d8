#include "foundation/CMMFData.h"

#include "foundation/CSynchronizer.h"
#include "foundation/Names.h"
#include "foundation/ObjectSecurity.h"

#include <cstring>
#include <cwchar>
#include <iterator>

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
    if (mapping_) {
        CSynchronizer lock(blockMutexName_, 1, INFINITE);
        mapping_.Reset();
    }
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
    return mapping_ ? 1 : 0;
}

int CMMFData::ReadBlock(void* destination, size_t bytes)
{
    return Copy(destination, bytes, false);
}

int CMMFData::WriteBlock(const void* source, size_t bytes)
{
    return Copy(const_cast<void*>(source), bytes, true);
}

// A copy larger than the mapped view fails rather than run past it.
int CMMFData::Copy(void* buffer, size_t bytes, bool write)
{
    if (!IsUsable())
        return 0;
    const DWORD access = write ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
    CSynchronizer lock(blockMutexName_, 1, INFINITE);
    KernelHandle mapping(OpenFileMappingW(access, FALSE, mappingName_));
    if (!mapping)
        return 0;
    MappedView view(MapViewOfFile(mapping.Get(), access, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region;
    if (!view || VirtualQuery(view.Get(), &region, sizeof(region)) == 0 || bytes > region.RegionSize)
        return 0;
    if (write)
        std::memcpy(view.Get(), buffer, bytes);
    else
        std::memcpy(buffer, view.Get(), bytes);
    return 1;
}
