// A guide directory as mapfolio-guide changes it: its maps found by name or
// database file, and the files a command writes, staged and then put in
// place together once the guide with them passes the checks.
#pragma once

#include "tools/guide/dab_text.h"
#include "tools/guide/map_georef.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// What stops a command: the message for the user; the guide stays as it was.
struct GuideError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct GuideMap {
    std::string file;     // the database's file name in the guide
    std::u16string name;  // the first text of <Name>
    std::string image;    // the map image's file name, relative to the guide
};

class Guide {
public:
    // Reads the name and image of every database of dir that loads.
    explicit Guide(const std::string& dir);

    const std::string& dir() const { return m_dir; }
    std::string path(const std::string& file) const { return m_dir + "/" + file; }
    const std::vector<GuideMap>& maps() const { return m_maps; }
    // A database file of the guide by name, without regard to case.
    bool has_file(const std::string& file) const;
    // The map named text (the first text of its <Name>), else the one whose
    // database file is text (without regard to case).
    const GuideMap& find(const std::string& text) const;

    // The map's database as lines.
    DabText read(const GuideMap& map) const;
    // The size of the map's image.
    std::pair<int, int> image_size(const GuideMap& map) const;
    // The map's georeference; fails, saying to run georef, without one.
    std::unique_ptr<MapGeoref> georef(const GuideMap& map) const;

    // Files to write, by name in the guide.
    void stage(const std::string& file, std::string bytes) { m_staged[file] = std::move(bytes); }
    // Writes every staged file to a temporary file beside it, checks the
    // guide as it will be, and renames them into place, databases last.
    // Fails, leaving the guide as it was, when a database written does not
    // load. Then prints summary, what the command did, and the guide's check.
    void commit(const std::string& summary);

private:
    std::string m_dir;
    std::vector<GuideMap> m_maps;
    std::vector<std::string> m_files;  // every database file, loading or not
    std::map<std::string, std::string> m_staged;
};

// Text as a field of a place line: markup-escaped, line breaks as blanks,
// and commas, which would end the field, as U+201A; *commas counts them.
std::u16string place_field(std::u16string_view text, int* commas);
// Every character HTML gives a meaning to, escaped: for text shown only as
// HTML (a topic).
std::u16string html_escape(std::u16string_view text);
// Only what HTML would read as markup escaped: '<', and '&' where it could
// start a character reference. A place's name is shown as HTML in its popup
// and as plain text in Find's list, so "Fish & Chips" stays as it is.
std::u16string markup_escape(std::u16string_view text);
std::string utf8(std::u16string_view text);
std::u16string utf16(std::string_view text);
