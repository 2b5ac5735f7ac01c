#include "platform/win32.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

using testing_support::TempDir;
using testing_support::to_u16;
using testing_support::to_u8;

// Every name the enumeration gives for pattern, in its order; the
// enumeration is closed again.
std::vector<std::string> list(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(to_u16(pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(to_u8(data.cFileName));
    } while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(find));
    return names;
}

TEST(FindFiles, MatchesWithoutRegardToCaseInAFixedSortedOrder) {
    TempDir dir;
    for (const char* name : {"main.dab", "HOME.DAB", "Zoo.Dab", "notes.txt", "b.DAB", "A.dab", "x.DABX", "DAB"})
        dir.write(name, "x");
    mkdir(dir.file("folder.dab").c_str(), 0755);
    EXPECT_EQ(list(dir.file("*.DAB")),
              (std::vector<std::string>{"A.dab", "b.DAB", "folder.dab", "HOME.DAB", "main.dab", "Zoo.Dab"}));
    EXPECT_EQ(list(dir.file("?.dab")), (std::vector<std::string>{"A.dab", "b.DAB"}));
    EXPECT_EQ(list(dir.file("*o*.*b")), (std::vector<std::string>{"folder.dab", "HOME.DAB", "Zoo.Dab"}));
    EXPECT_EQ(list(dir.file("notes.txt")), (std::vector<std::string>{"notes.txt"}));
    // "*.*" stands for every name, dots or not; "." and ".." come too.
    EXPECT_EQ(list(dir.file("*.*")).size(), 11u);
    EXPECT_EQ(platform::open_find_count(), 0);
}

TEST(FindFiles, ReportsKindSizeAndTime) {
    TempDir dir;
    dir.write("MAP.DAB", std::string(1234, 'x'));
    mkdir(dir.file("SUB.DAB").c_str(), 0755);
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(to_u16(dir.file("*.dab")).c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"MAP.DAB");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(data.nFileSizeLow, 1234u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    // After 2001 in 100 ns steps from 1601.
    EXPECT_GT(data.ftLastWriteTime.dwHighDateTime, 0x01C00000u);
    ASSERT_TRUE(FindNextFileW(find, &data));
    EXPECT_EQ(std::u16string(data.cFileName), u"SUB.DAB");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_FALSE(FindNextFileW(find, &data));  // stays at the end
    EXPECT_TRUE(FindClose(find));
    // A closed enumeration is refused, not reused.
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(find));
}

TEST(FindFiles, NothingFoundIsAnError) {
    TempDir dir;
    dir.write("a.txt", "x");
    WIN32_FIND_DATAW data{};
    EXPECT_EQ(FindFirstFileW(to_u16(dir.file("*.DAB")).c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileW(to_u16(dir.file("missing/*.DAB")).c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(to_u16(dir.path() + "/").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileW(nullptr, &data));
    EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data));
    EXPECT_EQ(platform::open_find_count(), 0);
}

TEST(FindFiles, PatternMatching) {
    using platform::matches_pattern;
    EXPECT_TRUE(matches_pattern(u"HOME.DAB", u"*.dab"));
    EXPECT_TRUE(matches_pattern(u"home.dab", u"HOME.DAB"));
    EXPECT_TRUE(matches_pattern(u"\u00e9t\u00e9.dab", u"\u00c9T\u00c9.DAB"));  // Latin-1 letters fold too
    EXPECT_TRUE(matches_pattern(u"ΧΆΡΤΗΣ.DAB", u"χάρτης.*"));                // and every other script's
    EXPECT_TRUE(matches_pattern(u"\U00010400.dab", u"?.DAB"));  // a surrogate pair is one character
    EXPECT_FALSE(matches_pattern(u"\U00010400.dab", u"??.DAB"));
    EXPECT_TRUE(matches_pattern(u"a.b.dab", u"*.dab"));
    EXPECT_TRUE(matches_pattern(u".dab", u"*.dab"));
    EXPECT_TRUE(matches_pattern(u"abc", u"a**c"));
    EXPECT_TRUE(matches_pattern(u"anything", u"*"));
    EXPECT_FALSE(matches_pattern(u"HOME.DABX", u"*.DAB"));
    EXPECT_FALSE(matches_pattern(u"HOME.DA", u"*.DAB"));
    EXPECT_FALSE(matches_pattern(u"ab", u"???"));
    EXPECT_FALSE(matches_pattern(u"", u"?"));
    EXPECT_FALSE(matches_pattern(nullptr, u"*"));
    // Backtracking over a long name stays linear enough to finish.
    std::u16string name(5000, u'a');
    EXPECT_FALSE(matches_pattern(name.c_str(), u"*a*a*a*a*b"));
}

TEST(ModuleFileName, IsTheProgramsFileOrInTheChosenDirectory) {
    WCHAR path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    const std::string own = to_u8(path);
    const std::string base = own.substr(own.rfind('/') + 1);
    EXPECT_EQ(base, "platform_tests");
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), path, MAX_PATH), length);

    platform::set_module_directory(u"/guides/harbour");
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(to_u8(path), "/guides/harbour/" + base);
    platform::set_module_directory(u"/guides/harbour/");
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(to_u8(path), "/guides/harbour/" + base);

    // Too small a buffer: cut, terminated, and said so.
    WCHAR small[8];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(small), u"/guides");
    platform::set_module_directory(u"");
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(to_u8(path), own);

    // Libraries the platform provides have no file.
    EXPECT_EQ(GetModuleFileNameW(LoadLibraryW(u"htmlview.dll"), path, MAX_PATH), 0u);
}

}  // namespace
