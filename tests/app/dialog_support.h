// What the Find and Information tests share: settings of their own for each
// test, values put into and read out of the program's settings key byte for
// byte, and database sections to add to a copy of the harbour guide.
#pragma once

#include "platform/win32.h"
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace app_test {

// A test whose settings start empty: XDG_CONFIG_HOME points at a fresh
// directory for its length, and the scripts it runs inherit it.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    testing_support::TempDir m_config;
    std::optional<std::string> m_saved;
};

// Stores bytes of the given type under name in the program's settings key.
void store_value(const std::string& name, DWORD type, const std::vector<BYTE>& bytes);
// A string value: the text's units and a terminating zero.
void store_text(const std::string& name, const std::u16string& text);
// The bytes of text as UTF-16, without a terminator.
std::vector<BYTE> text_bytes(const std::u16string& text);

struct StoredValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};
// The value stored under name, or nothing.
std::optional<StoredValue> stored_value(const std::string& name);

// Database sections, their lines ended by CR LF.
std::string category_section(const std::string& name, const std::vector<std::string>& locations);
std::string topic_section(const std::string& title, const std::string& text);
// Adds text at the end of one of the guide's databases.
void append_to(const GuideCopy& guide, const std::string& database, const std::string& text);

// A text as a pane or the popup shows it, its wrapped lines joined again.
std::string unwrapped(const nlohmann::json& text);

// A run that must succeed: its exit code checked, its states returned.
std::vector<nlohmann::json> states_of(const std::string& guide, const std::string& script);

}  // namespace app_test
