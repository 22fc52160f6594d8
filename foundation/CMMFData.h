#pragma once

#include "foundation/Handle.h"

#include <cstddef>
#include <windows.h>

// A named block of shared memory in the paging file, guarded across processes
// by its own mutex. The creating side (the service) holds the mapping, one view
// of it and the block mutex for its life; the other side opens all three for
// one copy at a time.
// Every side waits for the block mutex up to kBlockCopyWaitMs, since any user
// may hold it: a copy that cannot take it fails.
// Copies always start at offset 0. A name that does not fit its buffer leaves
// the object unusable: every operation then fails.
class CMMFData {
public:
    explicit CMMFData(const wchar_t* mappingName);
    // Closes the mapping, if this object created it, under the block mutex.
    virtual ~CMMFData();
    CMMFData(const CMMFData&) = delete;
    CMMFData& operator=(const CMMFData&) = delete;

    // 1 when the block exists, created now or by an earlier call; 0 on failure,
    // with the reason in GetCreateError (ServiceObjects.h).
    int CreateBlock(DWORD size);
    int ReadBlock(void* destination, size_t bytes);
    int WriteBlock(const void* source, size_t bytes);
    // Writes, then sets the event before the block mutex is released, so that a
    // side closing the block under that mutex sees either both or neither.
    int WriteBlockAndSignal(const void* source, size_t bytes, HANDLE event);
    // The creating side gives the block up: later copies by others fail.
    void CloseBlock();

    const wchar_t* GetMappingName() const { return mappingName_; }
    const wchar_t* GetBlockMutexName() const { return blockMutexName_; }
    HANDLE GetMappingHandle() const { return mapping_.Get(); }
    HANDLE GetBlockMutexHandle() const { return blockMutex_.Get(); }
    DWORD GetCreateError() const { return createError_; }

private:
    bool IsUsable() const { return mappingName_[0] != L'\0'; }
    int Copy(void* buffer, size_t bytes, bool write, HANDLE signal);

    wchar_t blockMutexName_[520];
    wchar_t mappingName_[260];
    KernelHandle mapping_;
    MappedView view_;         // the creating side's view, mapped once
    KernelHandle blockMutex_; // the creating side's handle of the block mutex
    size_t viewBytes_ = 0;
    DWORD createError_ = ERROR_SUCCESS;
};

// How long a copy waits for the block mutex.
constexpr DWORD kBlockCopyWaitMs = 3000;
