#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

using testing_support::CommandResult;
using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

class SettingsTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_saved = old;
        setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_saved) setenv("XDG_CONFIG_HOME", m_saved->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    CommandResult tool(const std::string& args, bool withStderr = false) {
        return run_command("XDG_CONFIG_HOME=" + shell_quote(m_config.path()) + " " + MAPFOLIO_TOOL_PATH +
                           " settings " + args + (withStderr ? " 2>&1" : " 2>/dev/null"));
    }

    TempDir m_config;
    std::optional<std::string> m_saved;
};

TEST_F(SettingsTool, SetGetListAndDeleteTheProgramsValues) {
    EXPECT_EQ(tool("list").exitCode, 0);
    EXPECT_EQ(tool("list").out, "");

    EXPECT_EQ(tool("set 'Harbour Find Category' Tower").exitCode, 0);
    EXPECT_EQ(tool("set 'Harbour Find Location' 'Quay Caf\xC3\xA9'").exitCode, 0);
    EXPECT_EQ(tool("set 'Harbour Info Category' ''").exitCode, 0);
    // Names match without regard to case; a set keeps the first spelling.
    EXPECT_EQ(tool("set 'HARBOUR find CATEGORY' Museums").exitCode, 0);
    EXPECT_EQ(tool("get 'harbour find category'").out, "Museums\n");
    EXPECT_EQ(tool("list").out,
              "Harbour Find Category = Museums\n"
              "Harbour Find Location = Quay Caf\xC3\xA9\n"
              "Harbour Info Category = \n");

    // What the tool writes, the program reads as a string of (length + 1) * 2
    // bytes under its key.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Tarnwick\\Mapfolio", 0, KEY_READ, &key), ERROR_SUCCESS);
    WCHAR text[200];
    DWORD type = 0;
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, u"Harbour Find Location", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(std::u16string(text), u"Quay Caf\u00e9");

    EXPECT_EQ(tool("delete 'harbour find location'").exitCode, 0);
    const CommandResult missing = tool("get 'Harbour Find Location'", true);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "mapfolio-tool: no setting named 'Harbour Find Location'\n");
    EXPECT_EQ(tool("delete 'Harbour Find Location'").exitCode, 1);
    RegCloseKey(key);
}

TEST_F(SettingsTool, OtherTypesShowInHexAndAStringEndsAtItsFirstZero) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Tarnwick\\Mapfolio", 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const BYTE blob[] = {0x00, 0x7f, 0xff};
    ASSERT_EQ(RegSetValueExW(key, u"Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    const BYTE unterminated[] = {'A', 0, 'B', 0, 0, 0, 'C', 0, 'D'};
    ASSERT_EQ(RegSetValueExW(key, u"Two\nLines", 0, REG_SZ, unterminated, sizeof unterminated), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(tool("list").out, "Blob = hex(3) 00 7f ff\nTwo\\u000aLines = AB\n");
    EXPECT_EQ(tool("get blob").out, "hex(3) 00 7f ff\n");
}

TEST_F(SettingsTool, UsageErrorsAndAStoreThatCannotBeWrittenExitWithTheirCodes) {
    for (const char* args : {"", "list extra", "get", "set onlyname", "delete", "frobnicate x"}) {
        const CommandResult r = tool(args, true);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.out.find("usage: mapfolio-tool settings"), std::string::npos) << args;
    }
    // The configuration directory is a file: nothing can be written there.
    TempDir other;
    const std::string blocked = other.write("config", "not a directory");
    const CommandResult r = run_command("XDG_CONFIG_HOME=" + shell_quote(blocked) + " " + MAPFOLIO_TOOL_PATH +
                                        " settings set a b 2>&1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "mapfolio-tool: the settings store cannot be written\n");
    EXPECT_EQ(run_command("XDG_CONFIG_HOME=" + shell_quote(blocked) + " " + MAPFOLIO_TOOL_PATH + " settings list")
                  .exitCode,
              0);
}

// A store that cannot be read is said so by every command that reads it;
// the next change keeps it aside and starts afresh.
TEST_F(SettingsTool, AStoreThatCannotBeReadIsSaidSoAndKeptAsideByTheNextChange) {
    const std::string garbage = "not a settings store\n";
    m_config.write("mapfolio/registry.txt", garbage);
    for (const char* args : {"list", "get anything", "delete anything"}) {
        const CommandResult r = tool(args, true);
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_EQ(r.out,
                  "mapfolio-tool: the settings store cannot be read; the next change keeps it aside as "
                  "registry.txt.bad and starts an empty one\n")
            << args;
    }
    EXPECT_EQ(tool("set fresh start").exitCode, 0);
    EXPECT_EQ(testing_support::read_file(m_config.file("mapfolio/registry.txt.bad")), garbage);
    EXPECT_EQ(tool("list").out, "fresh = start\n");
}

}  // namespace
