#include "platform/system/memory.h"
#include "platform/win32.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testing_support::TempDir;
using testing_support::to_u16;

TEST(Files, ReadsAndReportsShortReads) {
    TempDir dir;
    std::u16string path = to_u16(dir.write("a.bin", "0123456789"));
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(f, nullptr), 10u);
    char buf[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(f, buf, 4, &got, nullptr));
    EXPECT_EQ(got, 4u);
    SetFilePointer(f, 2, nullptr, FILE_CURRENT);
    SetFilePointer(f, -1, nullptr, FILE_CURRENT);
    EXPECT_TRUE(ReadFile(f, buf, 16, &got, nullptr));
    EXPECT_EQ(got, 5u);
    EXPECT_EQ(std::string(buf, 5), "56789");
    EXPECT_TRUE(CloseHandle(f));
    EXPECT_FALSE(CloseHandle(f));  // a closed handle is refused, not reused
}

TEST(Files, ReadAheadKeepsReadsAndMovesExact) {
    // Random reads and moves of every size on a read-only handle (which
    // reads ahead), checked against the file's bytes and a plain position.
    TempDir dir;
    std::mt19937 random(11);
    std::string content(300000, '\0');
    for (char& c : content) c = static_cast<char>(random());
    std::u16string path = to_u16(dir.write("big.bin", content));
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    std::int64_t pos = 0;
    std::vector<char> buf(content.size() + 10);
    for (int step = 0; step < 3000; ++step) {
        const int op = static_cast<int>(random() % 6);
        if (op <= 2) {
            static constexpr DWORD kSizes[] = {0, 1, 6, 7, 10, 255, 256, 4000, 65535, 65536, 70000, 299999};
            const DWORD n = kSizes[random() % 12];
            DWORD got = 12345;
            ASSERT_TRUE(ReadFile(f, buf.data(), n, &got, nullptr));
            // Moves may go past the end; reads there find nothing.
            const std::int64_t left = std::max<std::int64_t>(0, static_cast<std::int64_t>(content.size()) - pos);
            ASSERT_EQ(got, static_cast<DWORD>(std::min<std::int64_t>(n, left))) << "step " << step;
            if (got > 0) {
                ASSERT_EQ(std::memcmp(buf.data(), content.data() + pos, got), 0) << "step " << step;
            }
            pos += got;
        } else {
            static constexpr LONG kMoves[] = {-1, 7, -300, 1000, -70000, 90000, 0};
            LONG distance = kMoves[random() % 7];
            DWORD method = FILE_CURRENT;
            std::int64_t target = pos + distance;
            if (op == 4) {
                distance = static_cast<LONG>(random() % content.size());
                method = FILE_BEGIN;
                target = distance;
            } else if (op == 5) {
                distance = -static_cast<LONG>(random() % 1000);
                method = FILE_END;
                target = static_cast<std::int64_t>(content.size()) + distance;
            }
            const DWORD result = SetFilePointer(f, distance, nullptr, method);
            if (target < 0) {
                ASSERT_EQ(result, INVALID_SET_FILE_POINTER);  // the position stays
            } else {
                ASSERT_EQ(result, static_cast<DWORD>(target)) << "step " << step;
                pos = target;
            }
        }
    }
    CloseHandle(f);
}

TEST(Files, WritableHandlesSeeTheirOwnWrites) {
    TempDir dir;
    std::u16string path = to_u16(dir.write("rw.bin", "abcdef"));
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    char buf[8] = {};
    DWORD n = 0;
    ReadFile(f, buf, 2, &n, nullptr);
    WriteFile(f, "XY", 2, &n, nullptr);
    ReadFile(f, buf, 2, &n, nullptr);
    EXPECT_EQ(std::string(buf, 2), "ef");
    SetFilePointer(f, 0, nullptr, FILE_BEGIN);
    ReadFile(f, buf, 6, &n, nullptr);
    EXPECT_EQ(std::string(buf, 6), "abXYef");
    CloseHandle(f);
}

// Only regular files open; anything else fails as a missing file does, and
// a named pipe with no writer must not hold the caller up.
TEST(Files, RefusesMissingFilesDirectoriesAndPipesWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.dab").c_str(), 0600), 0);
    const int before = platform::open_file_count();
    const struct {
        std::string path;
        DWORD access;
    } cases[] = {{dir.file("missing.dab"), GENERIC_READ},
                 {dir.path(), GENERIC_READ},
                 {dir.file("pipe.dab"), GENERIC_READ},
                 {dir.file("pipe.dab"), GENERIC_WRITE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + (c.access == GENERIC_WRITE ? " for writing" : ""));
        const std::u16string path = to_u16(c.path);
        EXPECT_EQ(CreateFileW(path.c_str(), c.access, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_EQ(platform::open_file_count(), before);
}

TEST(Files, WritesAndCreates) {
    TempDir dir;
    std::u16string path = to_u16(dir.file("out.bin"));
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(f, "map", 3, &wrote, nullptr));
    EXPECT_EQ(wrote, 3u);
    CloseHandle(f);
    EXPECT_EQ(testing_support::read_file(dir.file("out.bin")), "map");
}

TEST(Memory, AllocationsFailOnDemand) {
    platform::faults::fail_allocations(platform::AllocKind::Local, 1, 1);
    HLOCAL first = LocalAlloc(LMEM_FIXED, 16);
    HLOCAL second = LocalAlloc(LMEM_FIXED, 16);
    HLOCAL third = LocalAlloc(LMEM_FIXED, 16);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    LocalFree(first);
    LocalFree(third);

    platform::faults::fail_allocations(platform::AllocKind::Virtual, 0, 1);
    EXPECT_EQ(VirtualAlloc(nullptr, 64, MEM_COMMIT, PAGE_READWRITE), nullptr);
    auto* p = static_cast<BYTE*>(VirtualAlloc(nullptr, 64, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);  // committed memory starts zeroed
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    platform::faults::clear_allocation_faults();
}

TEST(Memory, LargeBlocksOfAnySizeAreZeroedAndWhole) {
    for (SIZE_T size : {SIZE_T{4} << 20, (SIZE_T{5} << 20) + 3}) {
        auto* p = static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::count(p, p + size, 0), static_cast<std::ptrdiff_t>(size));
        p[size - 1] = 1;  // the last byte is the block's
        EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
        void* block = platform::allocate_zeroed_block(size);
        ASSERT_NE(block, nullptr);
        static_cast<BYTE*>(block)[size - 1] = 1;
        platform::release_zeroed_block(block);
    }
}

TEST(Memory, StatusReportsMoreThan32BitsWhereTheMachineHasIt) {
    MEMORYSTATUS status;
    GlobalMemoryStatus(&status);
    EXPECT_GT(status.dwTotalPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_GT(status.dwAvailVirtual, SIZE_T{1} << 32);
}

}  // namespace
