// add-topic: an information topic of a map from an HTML or text file.
#include "tools/guide/commands.h"
#include "tools/guide/guide.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// A line holds at most this many characters; the reader drops the rest.
constexpr std::size_t kMaxLine = 65535;

// The file as one line of HTML. An HTML file keeps its markup, and its line
// breaks, mere blanks in HTML, become blanks; a text file is escaped and its
// line breaks become <BR>.
std::u16string topic_text(const std::string& bytes, bool html) {
    std::u16string text = utf16(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += html ? u" " : u"<BR>";
        } else if (c < u' ' && c != u'\t') {
            out.push_back(u' ');
        } else {
            out += html ? std::u16string(1, c) : html_escape(std::u16string(1, c));
        }
    }
    while (!out.empty() && (out.back() == u' ' || out.ends_with(u"<BR>"))) out.resize(out.size() - (out.back() == u' ' ? 1 : 4));
    // A text that began with a tag of the format would open a section of
    // its own; HTML ignores the blank put before it.
    return starts_with_tag(out) ? u" " + out : out;
}

}  // namespace

void run_add_topic(const std::vector<std::string>& args) {
    const CommandLine line = parse_command_line(args, 4, {});
    Guide guide(line.positional[0]);
    const GuideMap& map = guide.find(line.positional[1]);
    const std::u16string title = utf16(line.positional[2]);
    const std::string& file = line.positional[3];
    if (title.empty() || title.front() == u' ' || starts_with_tag(title) ||
        std::any_of(title.begin(), title.end(), [](char16_t c) { return c < u' '; })) {
        throw GuideError("the title may not be empty, begin with a blank or a tag of the database format, or hold a control character");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) throw GuideError("cannot read " + file);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string ext = std::filesystem::path(file).extension().string();
    const bool html = lstrcmpiW(utf16(ext).c_str(), u".html") == 0 || lstrcmpiW(utf16(ext).c_str(), u".htm") == 0;
    const std::u16string text = topic_text(bytes, html);
    if (text.empty()) throw GuideError(file + " holds no text");
    if (text.size() > kMaxLine || title.size() > kMaxLine) {
        throw GuideError("the topic is " + std::to_string(text.size()) + " characters long as one line; a line holds at most 65535");
    }

    DabText dab = guide.read(map);
    std::optional<std::size_t> same;
    for (const DabBlock& b : find_topics(dab)) {
        if (!same && dab.line(b.first) == title) same = b.first;
    }
    const bool written = same ? dab.replace(*same, 2, {title, text}) : dab.append({u"<Information>", title, text});
    if (!written) throw GuideError(map.file + " is in Windows-1252, which cannot hold every character of the topic");
    guide.stage(map.file, dab.bytes());
    guide.commit(map.file + " \"" + utf8(map.name) + "\": topic \"" + utf8(title) + "\" " + (same ? "replaced" : "added") +
                 ", " + std::to_string(text.size()) + " characters\n");
}
