// mapfolio-tool dab: dump and check map databases.
#include "mapdb/dab_file.h"
#include "mapdb/map.h"
#include "tools/guide_check.h"
#include "tools/json_writer.h"
#include "tools/tool_commands.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const char* encoding_name(std::int32_t encoding) {
    switch (encoding) {
        case Utf16LE: return "Utf16LE";
        case Utf16BE: return "Utf16BE";
        case Utf8: return "Utf8";
        default: return "Ansi1252";
    }
}

std::u16string to_path16(const std::string& path) { return platform::from_utf8(path); }

void write_rect(JsonWriter& json, const RECT& r) {
    json.begin_array().value(r.left).value(r.top).value(r.right).value(r.bottom).end_array();
}

void write_records(JsonWriter& json, const CMap& map) {
    json.key("version").begin_object();
    json.key("text").value(map.versionRecord->text);
    json.key("number").value(map.versionRecord->number);
    json.end_object();
    json.key("name").begin_array();
    json.value(map.nameRecord->mapName).value(map.nameRecord->secondText).value(map.nameRecord->thirdText);
    json.end_array();
    json.key("topics").begin_array();
    for (const InfoTopic* t = map.topicList; t; t = t->next) {
        json.begin_object().key("title").value(t->title).key("text").value(t->text).end_object();
    }
    json.end_array();
    json.key("categories").begin_array();
    for (const LocationCategory* c = map.categoryList; c; c = c->next) {
        json.begin_object().key("name").value(c->name).key("locations").begin_array();
        for (const Location* l = c->firstLocation; l; l = l->next) {
            json.begin_object();
            json.key("x").value(LocationX(l->position)).key("y").value(LocationY(l->position));
            json.key("name").value(l->name).key("description").value(l->description);
            json.end_object();
        }
        json.end_array().end_object();
    }
    json.end_array();
    json.key("related_maps").begin_array();
    for (const RelatedMap* r = map.relatedMapList; r; r = r->next) {
        json.begin_object().key("source").value(r->sourceMapName).key("hot");
        write_rect(json, r->hotRect);
        json.key("target").value(r->targetMapName).key("target_rect");
        write_rect(json, r->targetRect);
        json.end_object();
    }
    json.end_array();
    json.key("link_groups").begin_array();
    for (const LinkGroup* g = map.linkGroupList; g; g = g->next) {
        json.begin_object().key("name").value(g->name).key("entries").begin_array();
        for (const LinkEntry* e = g->firstEntry; e; e = e->next) {
            json.begin_object().key("number").value(e->number);
            json.key("x").value(LocationX(e->point)).key("y").value(LocationY(e->point));
            json.key("text1").value(e->firstText).key("text2").value(e->secondText).end_object();
        }
        json.end_array().end_object();
    }
    json.end_array();
    json.key("image").value(map.imageName);
    json.key("background_images").begin_array();
    for (const BackgroundImage* b = map.backgroundImageList; b; b = b->next) {
        json.begin_object().key("file").value(b->fileName).key("slot").value(b->borderSlot).end_object();
    }
    json.end_array();
}

int dump(const ToolArgs& args) {
    if (args.size() != 1) {
        std::fputs("usage: mapfolio-tool dab dump FILE\n", stderr);
        return 2;
    }
    std::u16string path = to_path16(args[0]);
    auto map = std::make_unique<CMap>();
    int failedLine = 0;
    map->Open(path.c_str(), &failedLine);
    JsonWriter json;
    json.begin_object().key("file").value(std::string_view(args[0]));
    if (!map->dataLoaded) {
        json.key("ok").value(false).key("error").value(map->errorText).key("line");
        failedLine > 0 ? json.value(failedLine) : json.null();
        json.end_object();
        std::printf("%s\n", json.str().c_str());
        return 1;
    }
    CDabFile file;
    std::int32_t encoding = file.Open(path.c_str()) ? file.encoding : Ansi1252;
    file.Close();
    json.key("ok").value(true).key("encoding").value(encoding_name(encoding));
    write_records(json, *map);
    json.end_object();
    map->Close();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

int check(const ToolArgs& args) {
    if (args.empty()) {
        std::fputs("usage: mapfolio-tool dab check PATH...\n", stderr);
        return 2;
    }
    CheckReport report;
    for (const std::string& path : args) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            check_guide(path, &report);
        } else {
            check_database(path, &report);
        }
    }
    report.print(stdout);
    return report.failed() ? 1 : 0;
}

}  // namespace

int RunDabCommand(const ToolArgs& args) {
    if (!args.empty() && args[0] == "dump") return dump(ToolArgs(args.begin() + 1, args.end()));
    if (!args.empty() && args[0] == "check") return check(ToolArgs(args.begin() + 1, args.end()));
    std::fputs("usage: mapfolio-tool dab dump FILE | dab check PATH...\n", stderr);
    return 2;
}
