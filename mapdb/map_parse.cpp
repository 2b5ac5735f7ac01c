// CMap::Parse: reads a .DAB file through CDabFile into the map's record
// arena. Each kind of section is searched for on its own, so sections may
// stand in any order; see README.md for the format.
#include "mapdb/dab_file.h"
#include "mapdb/map.h"

#include <cstring>

namespace {

// Lines are read with this capacity: at most 65535 characters.
constexpr int kLineCapacity = 65536;

// The arena is sized from the file: 110 % of its text in UTF-16 bytes, the
// room its records take when references are 32 bits wide. Ours are 64 bits
// wide, so each record grows: by at most 12 bytes, against at least 16 bytes
// that the smallest records (a topic with empty title and text, a category or
// link group with a one-letter name) take with 32-bit references. Records
// and strings therefore never need more than 7/4 of the 32-bit room, and a
// block of that size loads every file that loads with 32-bit references.
std::size_t arena_size(const CDabFile& file) {
    std::uint64_t text = (file.encoding == Utf16LE || file.encoding == Utf16BE)
                             ? std::uint64_t{file.size}
                             : std::uint64_t{file.size} * 2;
    std::uint64_t narrow = text * 110 / 100;
    return static_cast<std::size_t>(narrow + (narrow * 3 + 3) / 4);
}

// Places records and strings one behind the other, checking the room before
// every write.
class Arena {
public:
    Arena(void* base, std::size_t size)
        : m_pos(static_cast<BYTE*>(base)), m_end(static_cast<BYTE*>(base) + size) {}

    // A record of type T at the next multiple of 4, or null when it does not fit.
    template <class T>
    T* place() {
        static_assert(alignof(T) == 4, "records are packed to 4 bytes");
        std::size_t pad = (4 - reinterpret_cast<std::uintptr_t>(m_pos) % 4) % 4;
        if (static_cast<std::size_t>(m_end - m_pos) < pad + sizeof(T)) return fail<T>();
        T* record = reinterpret_cast<T*>(m_pos + pad);
        m_pos += pad + sizeof(T);
        return record;
    }

    // A copy of text (length units and a terminator) behind the last record,
    // or null when it does not fit.
    WCHAR* copy(const WCHAR* text, std::size_t length) {
        std::size_t bytes = (length + 1) * sizeof(WCHAR);
        if (static_cast<std::size_t>(m_end - m_pos) < bytes) return fail<WCHAR>();
        WCHAR* out = reinterpret_cast<WCHAR*>(m_pos);
        std::memcpy(out, text, bytes);
        m_pos += bytes;
        return out;
    }

    // Reads the next line straight into the arena. Returns the line, or null
    // at the end of the file or when it does not fit (then overflowed()).
    WCHAR* read_line(CDabFile& file) {
        std::size_t roomUnits = static_cast<std::size_t>(m_end - m_pos) / sizeof(WCHAR);
        int capacity = roomUnits < kLineCapacity ? static_cast<int>(roomUnits) : kLineCapacity;
        if (capacity < 1) {
            // Only an end of file may still be reported as such.
            WCHAR probe[1];
            return file.ReadLine(probe, 1) < 0 ? nullptr : fail<WCHAR>();
        }
        WCHAR* out = reinterpret_cast<WCHAR*>(m_pos);
        bool cut = false;
        int length = file.ReadLine(out, capacity, &cut);
        if (length < 0) return nullptr;
        // A line cut short by the arena rather than by the line limit does
        // not fit.
        if (cut && capacity < kLineCapacity) return fail<WCHAR>();
        m_pos += (static_cast<std::size_t>(length) + 1) * sizeof(WCHAR);
        return out;
    }

    bool overflowed() const { return m_overflow; }

private:
    template <class T>
    T* fail() {
        m_overflow = true;
        return nullptr;
    }

    BYTE* m_pos;
    BYTE* m_end;
    bool m_overflow = false;
};

// One field of a data line: its text, terminated in place, and its length.
struct Field {
    WCHAR* text;
    std::size_t length;
};

// Splits line at commas as wcstok does (no empty fields) into at most count
// fields; returns how many were found.
int split_fields(WCHAR* line, Field* fields, int count) {
    WCHAR* context = nullptr;
    int found = 0;
    for (; found < count; ++found) {
        WCHAR* token = wcstok(found == 0 ? line : nullptr, u",", &context);
        if (token == nullptr) break;
        // The context stands after the comma that ended the token, or on the
        // terminator of the line.
        WCHAR* end = (context > token && context[-1] == 0) ? context - 1 : context;
        fields[found] = Field{token, static_cast<std::size_t>(end - token)};
    }
    return found;
}

class Parser {
public:
    Parser(CMap& map, CDabFile& file, Arena& arena, WCHAR* line)
        : m_map(map), m_file(file), m_arena(arena), m_line(line) {}

    // Where the failing step stopped: the start of the last line it read, or
    // null when it ran into the end of the file.
    const BYTE* stop_line() const { return m_atEnd ? nullptr : m_lastLine; }

    bool version() {
        if (!find_tag(u"<Mapfolio Version>") || !read_line()) return false;
        auto* record = m_arena.place<DabVersion>();
        if (!record) return false;
        record->text = nullptr;
        record->number = _wtol(m_line);
        record->text = m_arena.copy(m_line, m_lineLength);
        if (!record->text) return false;
        m_map.versionRecord = record;
        return true;
    }

    bool name() {
        if (!find_tag(u"<Name>") || !read_line()) return false;
        Field f[3];
        if (split_fields(m_line, f, 3) < 3) return false;
        auto* record = m_arena.place<DabName>();
        if (!record) return false;
        record->mapName = copy(f[0]);
        record->secondText = record->mapName ? copy(f[1]) : nullptr;
        record->thirdText = record->secondText ? copy(f[2]) : nullptr;
        if (!record->thirdText) return false;
        m_map.nameRecord = record;
        return true;
    }

    bool topics() {
        m_file.Rewind();
        InfoTopic* last = nullptr;
        while (find_next_tag(u"<Information>")) {
            auto* topic = place_cleared<InfoTopic>();
            if (!topic) return false;
            (last ? last->next : m_map.topicList) = topic;
            last = topic;
            topic->title = read_into_arena();
            if (!topic->title) return false;
            topic->text = read_into_arena();
            if (!topic->text) return false;
        }
        return true;
    }

    bool locations() {
        m_file.Rewind();
        LocationCategory* last = nullptr;
        while (find_next_tag(u"<Locations>")) {
            LocationCategory* category = open_named_block(m_map.categoryList, last);
            if (!category) return false;
            Location* lastLocation = nullptr;
            bool read = read_block<4, 3>(u"</Locations>", [&](const Field* f, int count) {
                auto* location = place_cleared<Location>();
                if (!location) return false;
                location->position = PackLocation(_wtol(f[0].text), _wtol(f[1].text));
                location->name = copy(f[2]);
                if (!location->name) return false;
                if (count == 4) {
                    location->description = copy(f[3]);
                    if (!location->description) return false;
                }
                (lastLocation ? lastLocation->next : category->firstLocation) = location;
                lastLocation = location;
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

    bool related_maps() {
        m_file.Rewind();
        RelatedMap* last = nullptr;
        while (find_next_tag(u"<Related Maps>")) {
            bool read = read_block<10, 10>(u"</Related Maps>", [&](const Field* f, int) {
                auto* link = place_cleared<RelatedMap>();
                if (!link) return false;
                link->hotRect = RECT{_wtol(f[1].text), _wtol(f[2].text), _wtol(f[3].text), _wtol(f[4].text)};
                link->targetRect = RECT{_wtol(f[6].text), _wtol(f[7].text), _wtol(f[8].text), _wtol(f[9].text)};
                link->sourceMapName = copy(f[0]);
                link->targetMapName = link->sourceMapName ? copy(f[5]) : nullptr;
                if (!link->targetMapName) return false;
                (last ? last->next : m_map.relatedMapList) = link;
                last = link;
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

    bool links() {
        m_file.Rewind();
        LinkGroup* last = nullptr;
        while (find_next_tag(u"<Links>")) {
            LinkGroup* group = open_named_block(m_map.linkGroupList, last);
            if (!group) return false;
            LinkEntry* lastEntry = nullptr;
            bool read = read_block<5, 5>(u"</Links>", [&](const Field* f, int) {
                auto* entry = place_cleared<LinkEntry>();
                if (!entry) return false;
                entry->number = _wtol(f[0].text);
                entry->point = PackLocation(_wtol(f[1].text), _wtol(f[2].text));
                entry->firstText = copy(f[3]);
                entry->secondText = entry->firstText ? copy(f[4]) : nullptr;
                if (!entry->secondText) return false;
                (lastEntry ? lastEntry->next : group->firstEntry) = entry;
                lastEntry = entry;
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

    bool image_name() {
        if (!find_tag(u"<Images>")) return false;
        m_map.imageName = read_into_arena();
        return m_map.imageName != nullptr;
    }

    bool background_images() {
        m_file.Rewind();
        BackgroundImage* last = nullptr;
        while (find_next_tag(u"<Background Images>")) {
            bool read = read_block<2, 2>(u"</Background Images>", [&](const Field* f, int) {
                auto* image = place_cleared<BackgroundImage>();
                if (!image) return false;
                image->borderSlot = _wtol(f[1].text);
                image->fileName = copy(f[0]);
                if (!image->fileName) return false;
                (last ? last->next : m_map.backgroundImageList) = image;
                last = image;
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

private:
    bool find_tag(LPCWSTR tag) {
        m_atEnd = !m_file.FindTag(tag);
        return !m_atEnd;
    }
    // A search that fails has run into the end of the file; the loops of the
    // repeatable sections end that way without failing.
    bool find_next_tag(LPCWSTR tag) {
        bool found = m_file.FindNextTag(tag);
        m_atEnd = false;
        return found;
    }
    bool read_line() {
        m_lastLine = m_file.position;
        int length = m_file.ReadLine(m_line, kLineCapacity);
        m_atEnd = length < 0;
        m_lineLength = m_atEnd ? 0 : static_cast<std::size_t>(length);
        return !m_atEnd;
    }
    WCHAR* copy(const Field& field) { return m_arena.copy(field.text, field.length); }

    // A record with every reference null and every number 0.
    template <class T>
    T* place_cleared() {
        T* record = m_arena.place<T>();
        if (record) std::memset(static_cast<void*>(record), 0, sizeof(T));
        return record;
    }

    // Places the record of a block that has a name line (a category, a link
    // group), appends it to its list and reads its name; an empty name fails
    // the block.
    template <class Group>
    Group* open_named_block(Group*& head, Group*& last) {
        auto* group = place_cleared<Group>();
        if (!group) return nullptr;
        (last ? last->next : head) = group;
        last = group;
        group->name = read_into_arena();
        return (group->name && group->name[0]) ? group : nullptr;
    }

    // Reads a block's data lines up to its end line. Each line is split into
    // at most Count fields and handed to add, which places its record; a line
    // with fewer than Required fields, or the end of the file, fails the block.
    template <int Count, int Required, class Add>
    bool read_block(LPCWSTR endTag, Add add) {
        for (;;) {
            if (!read_line()) return false;
            if (is_end_line(endTag)) return true;
            Field fields[Count];
            int count = split_fields(m_line, fields, Count);
            if (count < Required || !add(fields, count)) return false;
        }
    }
    WCHAR* read_into_arena() {
        m_lastLine = m_file.position;
        WCHAR* text = m_arena.read_line(m_file);
        m_atEnd = text == nullptr && !m_arena.overflowed();
        return text;
    }

    // An end line is exactly the end tag: a trailing blank makes it data.
    bool is_end_line(LPCWSTR endTag) const { return lstrcmpW(m_line, endTag) == 0; }

    CMap& m_map;
    CDabFile& m_file;
    Arena& m_arena;
    WCHAR* m_line;
    std::size_t m_lineLength = 0;
    const BYTE* m_lastLine = nullptr;
    bool m_atEnd = false;
};

// The 1-based number of the line that starts at lineStart.
int line_number(CDabFile& file, const BYTE* lineStart) {
    file.Rewind();
    int number = 1;
    WCHAR none[1];
    while (file.position < lineStart && file.ReadLine(none, 1) >= 0) ++number;
    return number;
}

struct Step {
    const char16_t* error;
    bool (Parser::*run)();
};

constexpr Step kSteps[] = {
    {u"Database <Mapfolio Version> Error", &Parser::version},
    {u"Database <Name> error", &Parser::name},
    {u"Database <Information> error", &Parser::topics},
    {u"Database <Locations> error", &Parser::locations},
    {u"Database <Related Maps> error", &Parser::related_maps},
    {u"Database <Links> error", &Parser::links},
    {u"Database <Images> Error", &Parser::image_name},
    {u"Database <Background Images> error", &Parser::background_images},
};

}  // namespace

bool CMap::Parse(LPCWSTR path, int* failedLine) {
    if (failedLine) *failedLine = 0;
    recordArena = nullptr;
    versionRecord = nullptr;
    nameRecord = nullptr;
    topicList = nullptr;
    categoryList = nullptr;
    relatedMapList = nullptr;
    backgroundImageList = nullptr;
    linkGroupList = nullptr;
    imageName = nullptr;

    CDabFile file;
    if (!file.Open(path)) {
        SetError(u"Failed to open the database");
        dataLoaded = 0;
        return false;
    }
    file.Rewind();

    auto fail = [&](LPCWSTR text, WCHAR* line) {
        if (text) SetError(text);
        if (line) LocalFree(line);
        LocalFree(recordArena);
        recordArena = nullptr;
        versionRecord = nullptr;
        nameRecord = nullptr;
        topicList = nullptr;
        categoryList = nullptr;
        relatedMapList = nullptr;
        backgroundImageList = nullptr;
        linkGroupList = nullptr;
        imageName = nullptr;
        dataLoaded = 0;
        file.Close();
        return false;
    };

    std::size_t size = arena_size(file);
    recordArena = LocalAlloc(LMEM_FIXED, size);
    if (recordArena == nullptr) return fail(u"Database GetBuffer() failed", nullptr);
    auto* line = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, kLineCapacity * sizeof(WCHAR)));
    if (line == nullptr) return fail(u"Line GetBuffer() failed", nullptr);

    Arena arena(recordArena, size);
    Parser parser(*this, file, arena, line);
    for (const Step& step : kSteps) {
        SetError(step.error);
        if (!(parser.*step.run)()) {
            if (failedLine) *failedLine = parser.stop_line() ? line_number(file, parser.stop_line()) : 0;
            return fail(arena.overflowed() ? u"Insufficient Memory Allocated" : nullptr, line);
        }
    }
    LocalFree(line);
    file.Close();
    return true;
}
