#include "platform/system/memory.h"

#include "platform/system/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

namespace platform {
namespace {

struct FaultPlan {
    int skip = 0;   // allocations still to let through
    int fail = 0;   // allocations to refuse after that
};

FaultPlan g_plans[6];

FaultPlan& plan_for(AllocKind kind) { return g_plans[static_cast<int>(kind)]; }

}  // namespace

bool allocation_should_fail(AllocKind kind) {
    FaultPlan& plan = plan_for(kind);
    if (plan.fail == 0) return false;
    if (plan.skip > 0) {
        --plan.skip;
        return false;
    }
    --plan.fail;
    return true;
}

namespace faults {

void fail_allocations(AllocKind kind, int skip, int count) {
    plan_for(kind) = FaultPlan{skip, count};
}

void clear_allocation_faults() {
    for (FaultPlan& plan : g_plans) plan = FaultPlan{};
}

}  // namespace faults

namespace {

constexpr SIZE_T kHugePage = SIZE_T{2} << 20;

// Large blocks (a database's file buffer and record arena, both sized from
// the file) are filled at once right after they are allocated. Asking for
// huge pages saves a page fault for every 4 KiB, which otherwise costs more
// than the parse itself.
void* allocate(SIZE_T bytes, bool zero) {
    if (bytes < 2 * kHugePage) return zero ? std::calloc(1, bytes) : std::malloc(bytes);
    // Exactly the size asked for, so the sanitizer still sees its bounds;
    // posix_memalign, unlike aligned_alloc, takes a size that is not a
    // multiple of the alignment.
    void* p = nullptr;
    if (posix_memalign(&p, kHugePage, bytes) != 0) return nullptr;
    madvise(p, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
    if (zero) std::memset(p, 0, bytes);
    return p;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Large committed blocks come straight from the system, which hands them out
// zeroed, so they need no clearing pass. The sanitizer build keeps them on the
// heap, where their bounds are checked.
std::unordered_map<void*, SIZE_T>& mapped_blocks() {
    static std::unordered_map<void*, SIZE_T> blocks;
    return blocks;
}

void* allocate_committed(SIZE_T bytes) {
    if (kSanitized || bytes < 2 * kHugePage) return allocate(bytes, true);
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    madvise(p, bytes, MADV_HUGEPAGE);
    mapped_blocks()[p] = bytes;
    return p;
}

void release_committed(void* p) {
    auto it = mapped_blocks().find(p);
    if (it == mapped_blocks().end()) {
        std::free(p);
        return;
    }
    munmap(p, it->second);
    mapped_blocks().erase(it);
}

}  // namespace

void* allocate_zeroed_block(SIZE_T bytes) { return allocate_committed(bytes); }
void release_zeroed_block(void* block) {
    if (block != nullptr) release_committed(block);
}

}  // namespace platform

// Both allocators sit on the C heap, so the sanitizer build sees every block
// with its exact bounds.
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD /*protect*/) {
    if (address != nullptr || size == 0 || (allocationType & MEM_COMMIT) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (platform::allocation_should_fail(platform::AllocKind::Virtual)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* p = platform::allocate_committed(size);
    if (p == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return p;
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
    if (address == nullptr || size != 0 || freeType != MEM_RELEASE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::release_committed(address);
    return TRUE;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    if (platform::allocation_should_fail(platform::AllocKind::Local)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-byte request still yields a distinct block, as on the platform.
    void* p = platform::allocate(bytes ? bytes : 1, flags & LMEM_ZEROINIT);
    if (p == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return p;
}

HLOCAL LocalFree(HLOCAL mem) {
    std::free(mem);
    return nullptr;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    std::memset(status, 0, sizeof *status);
    status->dwLength = sizeof *status;
    long pageSize = sysconf(_SC_PAGESIZE);
    long pages = sysconf(_SC_PHYS_PAGES);
    long avail = sysconf(_SC_AVPHYS_PAGES);
    if (pageSize > 0 && pages > 0) status->dwTotalPhys = static_cast<SIZE_T>(pages) * pageSize;
    if (pageSize > 0 && avail > 0) status->dwAvailPhys = static_cast<SIZE_T>(avail) * pageSize;
    // MemAvailable counts reclaimable cache too, which is what a program can
    // actually still get.
    if (std::FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
        char key[64];
        unsigned long long kb = 0;
        // A key, a number, and the rest of the line (its unit) skipped.
        while (std::fscanf(meminfo, "%63s %llu%*[^\n]", key, &kb) == 2) {
            const std::string name = key;
            if (name == "MemAvailable:") status->dwAvailPhys = static_cast<SIZE_T>(kb) * 1024;
            if (name == "SwapTotal:") status->dwTotalPageFile = static_cast<SIZE_T>(kb) * 1024;
            if (name == "SwapFree:") status->dwAvailPageFile = static_cast<SIZE_T>(kb) * 1024;
        }
        std::fclose(meminfo);
    }
    status->dwTotalPageFile += status->dwTotalPhys;
    status->dwAvailPageFile += status->dwAvailPhys;
    if (status->dwTotalPhys > 0) {
        status->dwMemoryLoad = static_cast<DWORD>(100 - (status->dwAvailPhys * 100) / status->dwTotalPhys);
    }
    // The user part of the address space, less what is mapped: 47 bits of a
    // 64-bit one, the lower half of a 32-bit one (WebAssembly's).
    const SIZE_T userSpace = sizeof(SIZE_T) >= 8 ? static_cast<SIZE_T>(std::uint64_t{1} << 47)
                                                 : static_cast<SIZE_T>(~SIZE_T{0} / 2 + 1);
    status->dwTotalVirtual = userSpace;
    status->dwAvailVirtual = userSpace;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        unsigned long long vmPages = 0;
        if (std::fscanf(statm, "%llu", &vmPages) == 1 && pageSize > 0) {
            SIZE_T used = static_cast<SIZE_T>(vmPages) * pageSize;
            if (used < userSpace) status->dwAvailVirtual = userSpace - used;
        }
        std::fclose(statm);
    }
}
