#include "tests/app/dialog_support.h"

#include "dialogs/settings_store.h"

#include <algorithm>
#include <cstdlib>

namespace app_test {

void DialogTest::SetUp() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_saved = old;
    setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
}

void DialogTest::TearDown() {
    if (m_saved) {
        setenv("XDG_CONFIG_HOME", m_saved->c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

namespace {

HKEY settings_key() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

}  // namespace

void store_value(const std::string& name, DWORD type, const std::vector<BYTE>& bytes) {
    HKEY key = settings_key();
    EXPECT_EQ(RegSetValueExW(key, testing_support::to_u16(name).c_str(), 0, type, bytes.data(),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<BYTE> text_bytes(const std::u16string& text) {
    std::vector<BYTE> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    return bytes;
}

void store_text(const std::string& name, const std::u16string& text) {
    std::vector<BYTE> bytes = text_bytes(text);
    bytes.insert(bytes.end(), {0, 0});
    store_value(name, REG_SZ, bytes);
}

std::optional<StoredValue> stored_value(const std::string& name) {
    HKEY key = settings_key();
    StoredValue value;
    value.bytes.resize(4096);
    auto size = static_cast<DWORD>(value.bytes.size());
    const LONG status = RegQueryValueExW(key, testing_support::to_u16(name).c_str(), nullptr, &value.type,
                                         value.bytes.data(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.bytes.resize(size);
    return value;
}

std::string category_section(const std::string& name, const std::vector<std::string>& locations) {
    std::string text = "<Locations>\r\n" + name + "\r\n";
    for (const std::string& line : locations) text += line + "\r\n";
    return text + "</Locations>\r\n";
}

std::string topic_section(const std::string& title, const std::string& text) {
    return "<Information>\r\n" + title + "\r\n" + text + "\r\n";
}

void append_to(const GuideCopy& guide, const std::string& database, const std::string& text) {
    guide.write(database, testing_support::read_file(guide.file(database)) + text);
}

std::string unwrapped(const nlohmann::json& text) {
    std::string joined = text.is_string() ? text.get<std::string>() : std::string();
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    return joined;
}

std::vector<nlohmann::json> states_of(const std::string& guide, const std::string& script) {
    const ScriptResult run = run_script(guide, script);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    return run.states;
}

}  // namespace app_test
