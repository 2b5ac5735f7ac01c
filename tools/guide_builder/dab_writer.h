// Writes map databases. Lines end in CR LF. A database whose text fits code
// page 1252 is written in it; one holding a character outside it is written
// as UTF-8 with its byte-order mark.
#pragma once

#include "tools/guide_builder/canvas.h"

#include <optional>
#include <string>
#include <vector>

struct DabPlace {
    int x;
    int y;
    std::string name;         // UTF-8
    std::string description;  // UTF-8 HTML; empty for none
};

struct DabCategory {
    std::string name;
    std::vector<DabPlace> places;
};

struct DabTopic {
    std::string title;
    std::string html;  // one line; may hold commas, as it is read whole
};

struct DabRelatedMap {
    std::string source;
    PixelRect hot;
    std::string target;
    PixelRect targetRect;
};

struct DabBorderImage {
    std::string file;
    int slot;
};

struct DabDatabase {
    std::string version = "1";
    std::string name;
    std::string secondText;
    std::string thirdText;
    std::vector<DabTopic> topics;
    std::vector<DabCategory> categories;
    std::vector<DabRelatedMap> relatedMaps;
    std::string image;
    std::vector<DabBorderImage> borderImages;
};

// A text made fit for a comma-separated field: a comma ends a field, so each
// comma (with the blank after it) becomes a single blank; line breaks become
// blanks; blanks at either end go.
std::string field_text(const std::string& utf8);

// The bytes of the database file. Fails, with the reason, when a field would
// not read back as written: an empty name, a comma or line break inside a
// field, a line over 65535 characters, a coordinate outside 0..65535, or a
// line that the reader would take for a tag or an end line.
std::optional<std::string> write_dab(const DabDatabase& database, std::string& error);
