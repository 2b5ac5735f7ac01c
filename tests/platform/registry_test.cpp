#include "platform/system/registry_data.h"
#include "platform/system/registry.h"
#include "platform/system/registry_file.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::system::RegistryData;
using testing_support::read_file;
using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

constexpr char16_t kProgramKey[] = u"Software\\Tarnwick\\Mapfolio";

// Every test gets its own configuration directory.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_saved = old;
        setenv("XDG_CONFIG_HOME", m_dir.path().c_str(), 1);
        platform::faults::set_registry_fault(platform::faults::RegistryFault::None);
    }
    void TearDown() override {
        platform::faults::set_registry_fault(platform::faults::RegistryFault::None);
        if (m_saved) setenv("XDG_CONFIG_HOME", m_saved->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    std::string store() const { return m_dir.path() + "/mapfolio/registry.txt"; }
    std::string directory() const { return m_dir.path() + "/mapfolio"; }

    TempDir m_dir;
    std::optional<std::string> m_saved;
};

HKEY open_program_key() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, const_cast<LPWSTR>(u""), 0, 0, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    return key;
}

std::vector<BYTE> bytes_of(std::u16string_view text) {
    std::vector<BYTE> out;
    for (char16_t u : text) {
        out.push_back(static_cast<BYTE>(u & 0xFF));
        out.push_back(static_cast<BYTE>(u >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

LONG set(HKEY key, std::u16string_view name, DWORD type, const std::vector<BYTE>& data) {
    const std::u16string n(name);
    return RegSetValueExW(key, n.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
}

LONG set_text(HKEY key, std::u16string_view name, std::u16string_view text) {
    return set(key, name, REG_SZ, bytes_of(text));
}

struct Read {
    LONG status;
    DWORD type;
    std::vector<BYTE> data;
};

Read query(HKEY key, std::u16string_view name) {
    const std::u16string n(name);
    Read r{0, 0, std::vector<BYTE>(1u << 20)};
    DWORD size = static_cast<DWORD>(r.data.size());
    r.status = RegQueryValueExW(key, n.c_str(), nullptr, &r.type, r.data.data(), &size);
    r.data.resize(r.status == ERROR_SUCCESS ? size : 0);
    return r;
}

std::vector<std::u16string> value_names(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
        WCHAR name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

TEST_F(Registry, ValuesRoundTripThroughTheFileWithAnyNameTypeAndBytes) {
    HKEY key = open_program_key();
    const std::u16string oddNames[] = {
        u"Harbour Find Category",
        u"",  // the default value
        u"quote \" backslash \\ equals = [bracket]",
        u"line\nbreak\ttab\r\x01\x7f\x85",
        u"Z\u00fcrich \u6771\u4eac \U0001F5FA",
        std::u16string(1, char16_t(0xD800)) + u"lone" + std::u16string(1, char16_t(0xDC00)),
        std::u16string(16383, u'n'),
    };
    std::vector<BYTE> everyByte;
    for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<BYTE>(b));
    const std::vector<std::pair<DWORD, std::vector<BYTE>>> data = {
        {REG_SZ, bytes_of(u"Tower")},
        {REG_SZ, {}},                       // a string with no bytes at all
        {REG_SZ, {'a', 0, 'b'}},           // an odd size
        {REG_SZ, {'a', 0, 0, 0, 'b', 0}},  // no terminator, a zero inside
        {REG_BINARY, everyByte},
        {REG_DWORD, {0x2a, 0, 0, 0x80}},
        {0xFFFFFFFFu, {1, 2, 3}},
    };
    for (std::size_t i = 0; i < std::size(oddNames); ++i) {
        const auto& [type, bytes] = data[i % data.size()];
        ASSERT_EQ(set(key, oddNames[i], type, bytes), ERROR_SUCCESS) << i;
    }
    // A fresh handle reads what the file holds.
    RegCloseKey(key);
    key = open_program_key();
    for (std::size_t i = 0; i < std::size(oddNames); ++i) {
        const auto& [type, bytes] = data[i % data.size()];
        const Read r = query(key, oddNames[i]);
        EXPECT_EQ(r.status, ERROR_SUCCESS) << i;
        EXPECT_EQ(r.type, type) << i;
        EXPECT_EQ(r.data, bytes) << i;
    }
    EXPECT_EQ(value_names(key), std::vector<std::u16string>(std::begin(oddNames), std::end(oddNames)));
    RegCloseKey(key);

    // The file is text a person can read.
    const std::string text = read_file(store());
    EXPECT_TRUE(text.starts_with("Mapfolio settings 1\n"));
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Tarnwick\\Mapfolio]\n"
                        "\"Harbour Find Category\"=sz:\"Tower\"\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"quote \\\" backslash \\\\ equals = [bracket]\"=hex(1):61,00,62\n"), std::string::npos);
    EXPECT_NE(text.find("\"line\\u000abreak\\u0009tab\\u000d\\u0001\\u007f\\u0085\"=hex(1):61,00,00,00,62,00\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x97\xBA\"=hex(3):00,01,02,"),
              std::string::npos);
    EXPECT_NE(text.find("\"\\ud800lone\\udc00\"=dword:8000002a\n"), std::string::npos);
    EXPECT_NE(text.find("nnn\"=hex(4294967295):01,02,03\n"), std::string::npos);
}

TEST_F(Registry, TheTextFormRoundTripsRandomStores) {
    std::mt19937 random(13);
    for (int round = 0; round < 50; ++round) {
        RegistryData data;
        const int keys = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < keys; ++k) {
            std::u16string path = u"K" + std::u16string(1, static_cast<char16_t>(u'a' + k));
            if (k % 2) path += u"\\Sub";
            data.ensure_key(path);
            const int values = static_cast<int>(random() % 5);
            for (int v = 0; v < values; ++v) {
                std::u16string name;
                const int length = static_cast<int>(random() % 12);
                for (int i = 0; i < length; ++i) name += static_cast<char16_t>(1 + random() % 0xFFFE);
                name += static_cast<char16_t>(u'0' + v);  // distinct names in one key
                std::vector<std::uint8_t> bytes(random() % 40);
                for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
                if (random() % 3 == 0) bytes = bytes_of(u"text " + std::u16string(1, static_cast<char16_t>(u'A' + v)));
                const DWORD type = random() % 2 ? REG_SZ : static_cast<DWORD>(random() % 8);
                RegistryData::set_value(*data.find_key(path), name, type, bytes.data(), bytes.size());
            }
        }
        std::string error;
        const auto back = RegistryData::parse(data.to_text(), &error);
        ASSERT_TRUE(back.has_value()) << error << "\n" << data.to_text();
        EXPECT_EQ(*back, data) << data.to_text();
    }
}

TEST_F(Registry, NamesOfValuesAndKeysIgnoreCaseAndKeepTheirFirstSpelling) {
    HKEY key = open_program_key();
    ASSERT_EQ(set_text(key, u"Old Town Find Category", u"Museums"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, u"OLD TOWN find category").data, bytes_of(u"Museums"));
    ASSERT_EQ(set_text(key, u"old town FIND CATEGORY", u"Cafes"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, u"Old Town Find Category").data, bytes_of(u"Cafes"));
    EXPECT_EQ(value_names(key), std::vector<std::u16string>{u"Old Town Find Category"});
    // Latin-1 letters fold too.
    ASSERT_EQ(set_text(key, u"\u00c4rhus", u"x"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, u"\u00e4RHUS").status, ERROR_SUCCESS);
    RegCloseKey(key);

    HKEY other = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"SOFTWARE\\tarnwick\\MAPFOLIO", 0, nullptr, 0, 0, nullptr, &other,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(query(other, u"old town find category").data, bytes_of(u"Cafes"));
    RegCloseKey(other);
}

TEST_F(Registry, AQueryToldItsCapacityGivesTheSizeOrMoreDataAtTheEdge) {
    HKEY key = open_program_key();
    const std::u16string text199(199, u'x');
    ASSERT_EQ(set_text(key, u"Exact", text199), ERROR_SUCCESS);         // 400 bytes
    ASSERT_EQ(set_text(key, u"Over", text199 + u"y"), ERROR_SUCCESS);  // 402 bytes

    std::vector<BYTE> buffer(402, 0xEE);
    DWORD type = REG_NONE;
    DWORD size = 400;
    EXPECT_EQ(RegQueryValueExW(key, u"Exact", nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 400u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::vector<BYTE>(buffer.begin(), buffer.begin() + 400), bytes_of(text199));
    EXPECT_EQ(buffer[400], 0xEE);  // nothing past the value

    std::fill(buffer.begin(), buffer.end(), 0xEE);
    size = 399;
    EXPECT_EQ(RegQueryValueExW(key, u"Exact", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 400u);
    EXPECT_EQ(buffer[0], 0xEE);

    size = 400;
    EXPECT_EQ(RegQueryValueExW(key, u"Over", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 402u);

    // No buffer: the size alone; no size either: whether it exists.
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Over", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 402u);
    EXPECT_EQ(RegQueryValueExW(key, u"Over", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key, u"Over", nullptr, nullptr, buffer.data(), nullptr), ERROR_INVALID_PARAMETER);

    // The empty text is its terminator alone.
    ASSERT_EQ(set_text(key, u"Empty", u""), ERROR_SUCCESS);
    size = 400;
    EXPECT_EQ(RegQueryValueExW(key, u"Empty", nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(query(key, u"Missing").status, ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, KeysAreCreatedOnDemandAndBadPathsAndHandlesRefused) {
    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_FALSE(fs::exists(store()));  // reading writes nothing

    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, 0, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_NE(read_file(store()).find("[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Tarnwick]\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Mapfolio]\n"),
              std::string::npos);
    HKEY parent = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Tarnwick", 0, KEY_READ, &parent), ERROR_SUCCESS);
    HKEY child = nullptr;
    EXPECT_EQ(RegOpenKeyExW(parent, u"Mapfolio", 0, KEY_READ, &child), ERROR_SUCCESS);
    ASSERT_EQ(set_text(child, u"v", u"1"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, u"v").data, bytes_of(u"1"));
    HKEY same = nullptr;
    EXPECT_EQ(RegOpenKeyExW(child, u"", 0, KEY_READ, &same), ERROR_SUCCESS);
    EXPECT_EQ(query(same, u"v").status, ERROR_SUCCESS);

    for (const char16_t* bad : {u"\\Software", u"Software\\\\Tarnwick", u"Software\\", u"Soft\nware"}) {
        HKEY out = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, bad, 0, nullptr, 0, 0, nullptr, &out, nullptr),
                  ERROR_BAD_PATHNAME);
        EXPECT_EQ(out, nullptr);
    }
    const std::u16string longest(255, u'k');
    HKEY out = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, longest.c_str(), 0, nullptr, 0, 0, nullptr, &out, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(out);
    const std::u16string tooLong(256, u'k');
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, tooLong.c_str(), 0, nullptr, 0, 0, nullptr, &out, nullptr),
              ERROR_BAD_PATHNAME);

    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(child), ERROR_INVALID_HANDLE);
    EXPECT_EQ(query(child, u"v").status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(set_text(child, u"v", u"2"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x80000002u)), ERROR_INVALID_HANDLE);
    for (HKEY k : {key, parent, same}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, EnumerationAndDeletionFollowTheOrderValuesWereFirstSet) {
    HKEY key = open_program_key();
    for (const char16_t* name : {u"b", u"a", u"c"}) ASSERT_EQ(set_text(key, name, name), ERROR_SUCCESS);
    ASSERT_EQ(set_text(key, u"A", u"again"), ERROR_SUCCESS);  // keeps its place
    EXPECT_EQ(value_names(key), (std::vector<std::u16string>{u"b", u"a", u"c"}));

    WCHAR name[4];
    DWORD length = 1;  // no room beside the terminator
    EXPECT_EQ(RegEnumValueW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    length = 2;
    BYTE data[8];
    DWORD size = 3;
    DWORD type = 0;
    EXPECT_EQ(RegEnumValueW(key, 1, name, &length, nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 12u);  // "again" and its terminator
    length = 2;
    size = 4;
    EXPECT_EQ(RegEnumValueW(key, 2, name, &length, nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"c");
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegEnumValueW(key, 3, name, &length, nullptr, &type, data, &size), ERROR_NO_MORE_ITEMS);

    EXPECT_EQ(RegDeleteValueW(key, u"B"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"b"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value_names(key), (std::vector<std::u16string>{u"a", u"c"}));
    RegCloseKey(key);
}

TEST_F(Registry, TheStoreFollowsXdgConfigHomeAndFallsBackToTheHomeDirectory) {
    HKEY key = open_program_key();
    ASSERT_EQ(set_text(key, u"where", u"xdg"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::exists(store()));
    EXPECT_EQ(fs::status(directory()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(store()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A relative XDG_CONFIG_HOME is not used.
    TempDir home;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(query(key, u"where").status, ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(set_text(key, u"where", u"home"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::exists(home.path() + "/.config/mapfolio/registry.txt"));
    setenv("HOME", savedHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", m_dir.path().c_str(), 1);
    EXPECT_EQ(query(key, u"where").data, bytes_of(u"xdg"));
    RegCloseKey(key);
}

TEST_F(Registry, AFailedWriteLeavesTheOldStoreByteForByte) {
    HKEY key = open_program_key();
    ASSERT_EQ(set_text(key, u"kept", u"old"), ERROR_SUCCESS);
    const std::string before = read_file(store());

    platform::faults::set_registry_fault(platform::faults::RegistryFault::WriteFails);
    EXPECT_EQ(set_text(key, u"kept", u"new"), ERROR_CANTWRITE);
    EXPECT_EQ(set_text(key, u"added", u"x"), ERROR_CANTWRITE);
    platform::faults::set_registry_fault(platform::faults::RegistryFault::None);
    EXPECT_EQ(read_file(store()), before);
    EXPECT_EQ(query(key, u"kept").data, bytes_of(u"old"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"registry.lock", "registry.txt"}));

    // Stopped after the new file is complete but before the rename: the old
    // store is what remains, and the next write clears the leftover.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::faults::set_registry_fault(platform::faults::RegistryFault::ExitBeforeRename);
        set_text(key, u"kept", u"new");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), platform::faults::kRegistryFaultExitCode);
    EXPECT_EQ(read_file(store()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory()), fs::directory_iterator()), 3);
    ASSERT_EQ(set_text(key, u"after", u"y"), ERROR_SUCCESS);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory()), fs::directory_iterator()), 2);
    EXPECT_EQ(query(key, u"kept").data, bytes_of(u"old"));
    RegCloseKey(key);
}

TEST_F(Registry, AKillAtAnyMomentLeavesAWholeOldOrNewStore) {
    HKEY key = open_program_key();
    std::mt19937 random(7);
    int next = 0;
    for (int round = 0; round < 6; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = next;; ++i) set_text(key, u"v" + platform::from_utf8(std::to_string(i)), u"value");
        }
        usleep(2000 + random() % 20000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string error;
        const auto data = RegistryData::parse(read_file(store()), &error);
        ASSERT_TRUE(data.has_value()) << error;
        // The values are those of the first writes, none missing between.
        const auto* values = data->find_key(kProgramKey);
        ASSERT_NE(values, nullptr);
        for (std::size_t i = 0; i < values->values.size(); ++i)
            EXPECT_EQ(values->values[i].name, u"v" + platform::from_utf8(std::to_string(i)));
        EXPECT_GE(static_cast<int>(values->values.size()), next);
        next = static_cast<int>(values->values.size());
        EXPECT_FALSE(fs::exists(store() + ".bad"));
    }
    EXPECT_GT(next, 0);
    RegCloseKey(key);
}

TEST_F(Registry, AStoreThatCannotBeParsedIsRefusedAndKeptAsideAtTheNextWriteWithoutLosingAnEarlierOne) {
    fs::create_directories(directory());
    const std::string garbage[] = {"Mapfolio settings 1\n[HKEY_CURRENT_USER\\Software]\n\"cut in the mid",
                                   "not a store at all\n"};
    const std::string aside[] = {store() + ".bad", store() + ".bad.2"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        m_dir.write("mapfolio/registry.txt", garbage[i]);
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &key), ERROR_BADDB);
        EXPECT_EQ(read_file(store()), garbage[i]);  // reading moved nothing

        key = open_program_key();
        ASSERT_NE(key, nullptr);
        ASSERT_EQ(set_text(key, u"fresh", u"start"), ERROR_SUCCESS);
        for (int kept = 0; kept <= i; ++kept) EXPECT_EQ(read_file(aside[kept]), garbage[kept]);
        const auto data = RegistryData::parse(read_file(store()));
        ASSERT_TRUE(data.has_value());
        EXPECT_EQ(data->find_key(kProgramKey)->values.size(), 1u);
        EXPECT_EQ(value_names(key), std::vector<std::u16string>{u"fresh"});
        RegCloseKey(key);
    }
    // A directory or a named pipe where the file should be is no store at
    // all, and reading it must not wait for a writer.
    HKEY key = open_program_key();
    fs::remove(store());
    fs::create_directory(store());
    EXPECT_EQ(query(key, u"fresh").status, ERROR_FILE_NOT_FOUND);
    fs::remove(store());
    ASSERT_EQ(::mkfifo(store().c_str(), 0600), 0);
    EXPECT_EQ(query(key, u"fresh").status, ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(set_text(key, u"after", u"pipe"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, u"after").data, bytes_of(u"pipe"));
    RegCloseKey(key);
}

// A string value may hold 524,287 characters (1 MiB with its terminator); a
// store holding one a character longer is refused whole and kept aside.
TEST_F(Registry, AStringOfTheSizeLimitIsReadBackAndOneLongerRefusesTheStore) {
    fs::create_directories(directory());
    for (const std::size_t length : {std::size_t{524287}, std::size_t{524288}}) {
        SCOPED_TRACE(length);
        const std::string text = "Mapfolio settings 1\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Mapfolio]\n\"big\"=sz:\"" +
                                 std::string(length, 'a') + "\"\n";
        m_dir.write("mapfolio/registry.txt", text);
        fs::remove(store() + ".bad");
        HKEY key = nullptr;
        const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key);
        if (length == 524287) {
            ASSERT_EQ(opened, ERROR_SUCCESS);
            const Read read = query(key, u"big");
            ASSERT_EQ(read.status, ERROR_SUCCESS);
            EXPECT_EQ(read.data.size(), 1048576u);
            EXPECT_EQ(read.data, bytes_of(std::u16string(length, u'a')));
            RegCloseKey(key);
        } else {
            EXPECT_EQ(opened, ERROR_BADDB);
            key = open_program_key();
            EXPECT_EQ(read_file(store() + ".bad"), text);
            EXPECT_EQ(query(key, u"big").status, ERROR_FILE_NOT_FOUND);
            RegCloseKey(key);
        }
    }
}

TEST_F(Registry, TwoProcessesWritingAtOnceKeepEachOthersValues) {
    HKEY key = open_program_key();
    constexpr int kEach = 60;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            int failures = 0;
            for (int i = 0; i < kEach; ++i) {
                const std::u16string name = (c == 0 ? u"first " : u"second ") + platform::from_utf8(std::to_string(i));
                failures += set_text(key, name, name) != ERROR_SUCCESS;
            }
            _exit(failures);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::u16string> names = value_names(key);
    EXPECT_EQ(names.size(), 2u * kEach);
    for (int i = 0; i < kEach; ++i) {
        for (const char16_t* prefix : {u"first ", u"second "}) {
            const std::u16string name = prefix + platform::from_utf8(std::to_string(i));
            EXPECT_EQ(query(key, name).data, bytes_of(name));
        }
    }
    RegCloseKey(key);
}

TEST_F(Registry, TheParserRefusesEveryMalformedStore) {
    const std::string header = "Mapfolio settings 1\n";
    const std::string key = "[HKEY_CURRENT_USER\\K]\n";
    const std::string bad[] = {
        "",
        "Mapfolio settings 2\n",
        "\xEF\xBB\xBFMapfolio settings 1\n",
        header + "\"v\"=sz:\"x\"\n",                       // a value before any key
        header + "[HKEY_LOCAL_MACHINE\\K]\n",
        header + "[HKEY_CURRENT_USERX]\n",
        header + "[HKEY_CURRENT_USER\\K\\\\L]\n",
        header + "[HKEY_CURRENT_USER\\]\n",
        header + "[HKEY_CURRENT_USER\\K" + "\n",
        header + key + key,                                 // a key twice
        header + key + "[HKEY_CURRENT_USER\\k]\n",         // the same without case
        header + key + "\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\n",  // a value twice
        header + key + "\"v\"=sz:\"x\n",
        header + key + "\"v\"=sz:\"x\"trailing\n",
        header + key + "\"v\"=sz:\"\\x\"\n",
        header + key + "\"v\"=sz:\"\\u12\"\n",
        header + key + "\"v\"=sz:\"\\u00g0\"\n",
        header + key + "\"\\u0000\"=sz:\"x\"\n",
        header + key + "\"v\"=sz:\"\x01\"\n",
        header + key + "\"v\"=sz:\"\xC0\xAF\"\n",          // an overlong slash
        header + key + "\"v\"=sz:\"\xED\xA0\x80\"\n",      // a surrogate in UTF-8
        header + key + "\"v\"=sz:\"\xE2\x82\"\n",          // cut short
        header + key + "\"v\"=dword:0000002\n",
        header + key + "\"v\"=dword:0000002a0\n",
        header + key + "\"v\"=hex(3):0\n",
        header + key + "\"v\"=hex(3):00,\n",
        header + key + "\"v\"=hex(3):00;01\n",
        header + key + "\"v\"=hex(3):0g\n",
        header + key + "\"v\"=hex(4294967296):00\n",
        header + key + "\"v\"=hex():00\n",
        header + key + "\"v\"=hex(3)00\n",
        header + key + "\"v\"sz:\"x\"\n",
        header + key + "\"v\"=text:\"x\"\n",
        header + key + "v=sz:\"x\"\n",
    };
    for (const std::string& text : bad) {
        std::string error;
        EXPECT_FALSE(RegistryData::parse(text, &error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    // The good forms beside them, comments and Windows line ends included.
    const std::string good = header + "; a note\r\n\r\n" + key +
                             "\"v\"=sz:\"\\u00e9\\\"\"\n\"w\"=hex(3):\n\"x\"=hex(0):00,ff\n\"y\"=dword:FFFFFFFF\n";
    std::string error;
    const auto data = RegistryData::parse(good, &error);
    ASSERT_TRUE(data.has_value()) << error;
    const auto* k = data->find_key(u"K");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->values.size(), 4u);
    EXPECT_EQ(k->values[0].data, bytes_of(u"\u00e9\""));
    EXPECT_TRUE(k->values[1].data.empty());
    EXPECT_EQ(k->values[3].data, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(RegistryData::parse(std::string(platform::system::kMaxStoreBytes + 1, ';')).has_value());
}

}  // namespace
