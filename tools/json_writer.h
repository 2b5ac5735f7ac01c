// A small streaming JSON writer for the tools' output: keys in the order they
// are written, strings from UTF-16 or UTF-8, escaped.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    JsonWriter& begin_object();
    JsonWriter& end_object();
    JsonWriter& begin_array();
    JsonWriter& end_array();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(LPCWSTR text);  // null writes null
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    const std::string& str() const { return m_out; }

    static std::string quote(std::string_view utf8);

private:
    void separate();

    std::string m_out;
    std::vector<bool> m_first;  // per open container: nothing written yet
    bool m_afterKey = false;
};
