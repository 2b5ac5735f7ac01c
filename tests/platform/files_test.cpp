#include "platform/testing.h"
#include "platform/win32.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

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

TEST(Files, RefusesMissingFilesAndDirectories) {
    TempDir dir;
    int before = platform::open_file_count();
    std::u16string missing = to_u16(dir.file("missing.dab"));
    EXPECT_EQ(CreateFileW(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    std::u16string self = to_u16(dir.path());
    EXPECT_EQ(CreateFileW(self.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
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
    platform::testing::fail_allocations(platform::AllocKind::Local, 1, 1);
    HLOCAL first = LocalAlloc(LMEM_FIXED, 16);
    HLOCAL second = LocalAlloc(LMEM_FIXED, 16);
    HLOCAL third = LocalAlloc(LMEM_FIXED, 16);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    LocalFree(first);
    LocalFree(third);

    platform::testing::fail_allocations(platform::AllocKind::Virtual, 0, 1);
    EXPECT_EQ(VirtualAlloc(nullptr, 64, MEM_COMMIT, PAGE_READWRITE), nullptr);
    auto* p = static_cast<BYTE*>(VirtualAlloc(nullptr, 64, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);  // committed memory starts zeroed
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    platform::testing::clear_allocation_faults();
}

TEST(Memory, StatusReportsMoreThan32BitsWhereTheMachineHasIt) {
    MEMORYSTATUS status;
    GlobalMemoryStatus(&status);
    EXPECT_GT(status.dwTotalPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_GT(status.dwAvailVirtual, SIZE_T{1} << 32);
}

}  // namespace
