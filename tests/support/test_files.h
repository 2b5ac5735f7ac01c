// Helpers shared by the test suites: temporary directories, files written in
// each of the database encodings, and running the command-line tools.
#pragma once

#include "platform/win32_drawing.h"

#include <string>
#include <string_view>

namespace testing_support {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }
    // Writes bytes to name inside the directory and returns its full path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::string m_path;
};

enum class TextEncoding { Ansi1252, Utf16LE, Utf16BE, Utf8 };

// The text as the bytes of a file in that encoding, byte-order mark included
// (none for code page 1252).
std::string encode_text(std::u16string_view text, TextEncoding encoding);

std::u16string to_u16(std::string_view utf8);
std::string to_u8(std::u16string_view text);

std::string read_file(const std::string& path);

struct CommandResult {
    int exitCode;
    std::string out;
};
// Runs a shell command and collects its standard output.
CommandResult run_command(const std::string& command);

// Quotes an argument for the shell.
std::string shell_quote(std::string_view arg);

}  // namespace testing_support
