// mapfolio-tool settings: see and change what the program remembers, the
// values of its registry key.
#include "platform/win32.h"
#include "tools/settings_values.h"
#include "tools/tool_commands.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Control characters would break the one-line-per-value listing.
std::string printable(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
            out += escape;
        } else {
            out += platform::to_utf8(std::u16string_view(&u, 1));
        }
    }
    return out;
}

std::string shown(DWORD type, const std::vector<BYTE>& data) { return printable(SettingText(type, data)); }

int fail(const std::string& message, int code = 1) {
    std::fprintf(stderr, "mapfolio-tool: %s\n", message.c_str());
    return code;
}

std::string error_text(LONG status) {
    switch (status) {
    case ERROR_CANTWRITE: return "the settings store cannot be written";
    case ERROR_BADDB:
        return "the settings store cannot be read; the next change keeps it aside as registry.txt.bad and starts "
               "an empty one";
    case ERROR_INVALID_PARAMETER: return "the name or text is too long";
    default: return "the settings store refused it (error " + std::to_string(status) + ")";
    }
}

int list() {
    std::vector<SettingValue> values;
    LONG status = 0;
    if (!ReadSettingValues(&values, &status)) return fail(error_text(status));
    for (const SettingValue& value : values)
        std::printf("%s = %s\n", printable(value.name).c_str(), shown(value.type, value.data).c_str());
    return 0;
}

int get(const std::string& nameText) {
    const std::u16string name = platform::from_utf8(nameText);
    LONG status = 0;
    HKEY key = OpenSettingsKey(false, &status);
    if (status == ERROR_BADDB) return fail(error_text(status));
    DWORD type = 0;
    std::vector<BYTE> data;
    const bool found = key != nullptr && ReadSettingValue(key, name, &type, &data);
    if (key) RegCloseKey(key);
    if (!found) return fail("no setting named '" + nameText + "'");
    std::printf("%s\n", shown(type, data).c_str());
    return 0;
}

int set(const std::string& nameText, const std::string& text) {
    const std::u16string name = platform::from_utf8(nameText);
    const std::u16string value = platform::from_utf8(text);
    LONG status = 0;
    HKEY key = OpenSettingsKey(true, &status);
    if (key == nullptr) return fail(error_text(status));
    status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : fail(error_text(status));
}

int remove(const std::string& nameText) {
    const std::u16string name = platform::from_utf8(nameText);
    LONG status = 0;
    HKEY key = OpenSettingsKey(false, &status);
    if (status == ERROR_BADDB) return fail(error_text(status));
    if (key == nullptr) return fail("no setting named '" + nameText + "'");
    status = RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) return fail("no setting named '" + nameText + "'");
    return status == ERROR_SUCCESS ? 0 : fail(error_text(status));
}

}  // namespace

int RunSettingsCommand(const ToolArgs& args) {
    const std::string command = args.empty() ? std::string() : args[0];
    if (command == "list" && args.size() == 1) return list();
    if (command == "get" && args.size() == 2) return get(args[1]);
    if (command == "set" && args.size() == 3) return set(args[1], args[2]);
    if (command == "delete" && args.size() == 2) return remove(args[1]);
    return fail("usage: mapfolio-tool settings list | get NAME | set NAME TEXT | delete NAME", 2);
}
