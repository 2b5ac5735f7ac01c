#include "tools/guide_builder/dab_writer.h"

#include "platform/base/text_convert.h"

#include <array>

namespace {

constexpr std::array<const char*, 12> kTags = {
    "<Mapfolio Version>", "<Name>",  "<Information>", "<Locations>", "<Related Maps>", "<Links>",
    "<Images>",           "<Background Images>", "</Locations>", "</Related Maps>", "</Links>",
    "</Background Images>"};

constexpr size_t kMaxLineUnits = 65535;

class Writer {
public:
    explicit Writer(std::string& error) : m_error(error) {}

    void tag(const char* text) { m_text += text, m_text += "\r\n"; }

    // A data line, or a line read whole (whole = true: commas allowed).
    void line(const std::string& text, bool whole) {
        if (!m_ok) return;
        if (text.find_first_of("\r\n") != std::string::npos) return fail("a line break inside \"" + text + "\"");
        if (!whole && text.find(",,") != std::string::npos) return fail("an empty field in \"" + text + "\"");
        for (const char* t : kTags) {
            if (text.rfind(t, 0) == 0) return fail("a line that reads as a tag: \"" + text + "\"");
        }
        if (platform::from_utf8(text).size() > kMaxLineUnits) return fail("a line over 65535 characters");
        m_text += text;
        m_text += "\r\n";
    }

    // A field: no comma, not empty unless allowed.
    std::string field(const std::string& text, bool mayBeEmpty = false) {
        if (text.find(',') != std::string::npos) fail("a comma inside the field \"" + text + "\"");
        if (!mayBeEmpty && text.empty()) fail("an empty field");
        return text;
    }

    std::string number(int value, bool coordinate) {
        if (coordinate && (value < 0 || value > 65535)) fail("coordinate " + std::to_string(value) + " outside 0..65535");
        return std::to_string(value);
    }

    void fail(const std::string& why) {
        if (m_ok) m_error = why;
        m_ok = false;
    }

    bool ok() const { return m_ok; }
    const std::string& text() const { return m_text; }

private:
    std::string& m_error;
    std::string m_text;
    bool m_ok = true;
};

std::string rect_fields(Writer& w, const PixelRect& r) {
    return w.number(r.left, false) + "," + w.number(r.top, false) + "," + w.number(r.right, false) + "," +
           w.number(r.bottom, false);
}

}  // namespace

std::string field_text(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == ',') {
            if (i + 1 < utf8.size() && utf8[i + 1] == ' ') ++i;
            c = ' ';
        } else if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::optional<std::string> write_dab(const DabDatabase& db, std::string& error) {
    Writer w(error);
    w.tag("<Mapfolio Version>");
    w.line(w.field(db.version), false);
    w.tag("<Name>");
    w.line(w.field(db.name) + "," + w.field(db.secondText) + "," + w.field(db.thirdText), false);
    for (const DabTopic& topic : db.topics) {
        w.tag("<Information>");
        w.line(topic.title, true);
        w.line(topic.html, true);
    }
    for (const DabCategory& category : db.categories) {
        w.tag("<Locations>");
        if (category.name.empty()) w.fail("a category without a name");
        w.line(category.name, true);
        for (const DabPlace& place : category.places) {
            std::string text = w.number(place.x, true) + "," + w.number(place.y, true) + "," + w.field(place.name);
            if (!place.description.empty()) text += "," + w.field(place.description);
            w.line(text, false);
        }
        w.tag("</Locations>");
    }
    if (!db.relatedMaps.empty()) {
        w.tag("<Related Maps>");
        for (const DabRelatedMap& r : db.relatedMaps) {
            w.line(w.field(r.source) + "," + rect_fields(w, r.hot) + "," + w.field(r.target) + "," +
                       rect_fields(w, r.targetRect),
                   false);
        }
        w.tag("</Related Maps>");
    }
    w.tag("<Images>");
    w.line(w.field(db.image), true);
    if (!db.borderImages.empty()) {
        w.tag("<Background Images>");
        for (const DabBorderImage& b : db.borderImages) w.line(w.field(b.file) + "," + w.number(b.slot, false), false);
        w.tag("</Background Images>");
    }
    if (!w.ok()) return std::nullopt;

    // Code page 1252 when every character has a byte there; else UTF-8.
    std::u16string units = platform::from_utf8(w.text());
    std::string ansi(units.size(), '\0');
    BOOL usedDefault = FALSE;
    int written = WideCharToMultiByte(1252, 0, units.data(), static_cast<int>(units.size()), ansi.data(),
                                      static_cast<int>(ansi.size()), nullptr, &usedDefault);
    if (!usedDefault && written == static_cast<int>(units.size())) return ansi;
    return "\xEF\xBB\xBF" + w.text();
}
