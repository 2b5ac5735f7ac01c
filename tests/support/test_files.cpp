#include "tests/support/test_files.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

// Every test program keeps its settings in a directory of its own, which the
// programs it starts inherit: no test reads or writes the settings of the
// user running it, and tests do not see each other's.
struct PrivateSettings {
    PrivateSettings() {
        char pattern[] = "/tmp/mapfolio-test-config-XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            directory = pattern;
            setenv("XDG_CONFIG_HOME", pattern, 1);
        }
    }
    ~PrivateSettings() {
        if (!directory.empty()) std::filesystem::remove_all(directory);
    }
    std::string directory;
};
const PrivateSettings kPrivateSettings;

}  // namespace

namespace testing_support {

TempDir::TempDir() {
    std::string base = std::filesystem::temp_directory_path().string() + "/mapfolio-test-XXXXXX";
    if (mkdtemp(base.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = base;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
    std::string full = file(name);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string encode_text(std::u16string_view text, TextEncoding encoding) {
    std::string out;
    switch (encoding) {
        case TextEncoding::Ansi1252:
            for (char16_t c : text) {
                char b = '?';
                WideCharToMultiByte(1252, 0, &c, 1, &b, 1, nullptr, nullptr);
                out += b;
            }
            break;
        case TextEncoding::Utf16LE:
            out = "\xFF\xFE";
            for (char16_t c : text) {
                out += static_cast<char>(c & 0xFF);
                out += static_cast<char>(c >> 8);
            }
            break;
        case TextEncoding::Utf16BE:
            out = "\xFE\xFF";
            for (char16_t c : text) {
                out += static_cast<char>(c >> 8);
                out += static_cast<char>(c & 0xFF);
            }
            break;
        case TextEncoding::Utf8:
            out = "\xEF\xBB\xBF" + platform::to_utf8(text);
            break;
    }
    return out;
}

std::u16string to_u16(std::string_view utf8) { return platform::from_utf8(utf8); }
std::string to_u8(std::u16string_view text) { return platform::to_utf8(text); }

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

CommandResult run_command(const std::string& command) {
    CommandResult result{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) result.out.append(buf, n);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shell_quote(std::string_view arg) {
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    out += "'";
    return out;
}

}  // namespace testing_support
