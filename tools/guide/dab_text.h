// A database as the lines of its own bytes, so that a command rewrites only
// the lines of the sections it owns and every other byte stays as it was, in
// the file's encoding.
#pragma once

#include "mapdb/dab_file.h"

#include <optional>
#include <string>
#include <vector>

class DabText {
public:
    // An empty database: UTF-8 with its mark.
    DabText();
    bool load(const std::string& path, std::string* error);

    std::int32_t encoding() const { return m_encoding; }
    std::size_t size() const { return m_lines.size(); }
    // Line i without its end, decoded.
    std::u16string line(std::size_t i) const;
    // Replaces count lines from first with lines, each ended by CR LF. False
    // when a line cannot be written in the file's encoding (code page 1252
    // holds only its own characters).
    bool replace(std::size_t first, std::size_t count, const std::vector<std::u16string>& lines);
    bool append(const std::vector<std::u16string>& lines) { return replace(m_lines.size(), 0, lines); }
    std::string bytes() const;

private:
    std::optional<std::string> encode(std::u16string_view text) const;

    std::int32_t m_encoding = Utf8;
    std::string m_mark;
    std::vector<std::string> m_lines;  // each with its end as stored
};

// The sections of one kind as the parser finds them: it looks at every line
// in turn, and a block's lines are not looked at again by the same search.
struct DabBlock {
    std::size_t tag = 0;    // the tag line
    std::size_t first = 0;  // the first line after the tag line (the name line of named blocks)
    std::size_t end = 0;    // the end line; for Information, the line after the text
};
// Blocks with a name line and data lines up to an end line ("<Locations>",
// "<Related Maps>" without a name line). Nothing when a block has no end
// line: the database would not load.
std::optional<std::vector<DabBlock>> find_blocks(const DabText& text, std::u16string_view tag,
                                                 std::u16string_view endLine);
// The "<Information>" blocks: a tag line, a title and a text.
std::vector<DabBlock> find_topics(const DabText& text);

// A data line's fields as the parser splits them: at commas, empty fields
// dropped, blanks kept.
std::vector<std::u16string> split_fields(std::u16string_view line);

// Whether a line beginning with text would open a section of the format.
bool starts_with_tag(std::u16string_view text);
