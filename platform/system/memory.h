// Memory: VirtualAlloc/VirtualFree for whole buffers and LocalAlloc/LocalFree
// for heap blocks. Every allocation can be made to fail from tests
// (platform::faults below), so that out-of-memory paths are exercised.
#pragma once

#include "platform/base/win32_types.h"

#define MEM_COMMIT 0x00001000
#define MEM_RESERVE 0x00002000
#define MEM_DECOMMIT 0x00004000
#define MEM_RELEASE 0x00008000
#define PAGE_NOACCESS 0x01
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04

#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// Committed memory is zero-filled. Only MEM_COMMIT (optionally with
// MEM_RESERVE) at an address of the system's choosing is supported.
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect);
// Only MEM_RELEASE with size 0 is supported; false for a null address.
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType);

// LMEM_FIXED blocks are not zeroed unless LMEM_ZEROINIT is given.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
// Returns null on success, the block on failure (as the platform does).
HLOCAL LocalFree(HLOCAL mem);

struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
};
// Figures are in bytes and pointer-sized, so they do not overflow on a
// machine with more than 2 GiB.
void GlobalMemoryStatus(MEMORYSTATUS* status);

namespace platform {

// Bitmap: the pixels of a new bitmap. The last three stand for what a
// device's GDI refuses when its resources run out: DeviceContext, a new
// memory DC (CreateCompatibleDC); Selection, selecting a bitmap into a
// memory DC; Description, describing an object (GetObjectW).
enum class AllocKind { Local, Virtual, Bitmap, DeviceContext, Selection, Description };

// True when the test hooks say this allocation must fail; counts it.
bool allocation_should_fail(AllocKind kind);

namespace faults {

// The next `skip` allocations of `kind` succeed, then `count` fail, then all
// succeed again.
void fail_allocations(AllocKind kind, int skip, int count = 1);
void clear_allocation_faults();

}  // namespace faults

// Zeroed memory for a large block that is filled right after it is made
// (a bitmap's pixels), taken the way VirtualAlloc takes committed memory:
// straight from the system in huge pages when it is large. Callers do
// their own fault injection. Release with release_zeroed_block.
void* allocate_zeroed_block(SIZE_T bytes);
void release_zeroed_block(void* block);

}  // namespace platform
