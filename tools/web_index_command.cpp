// mapfolio-tool web-index GUIDE: writes GUIDE/guide.json, the list of files
// that the web page fetches to open the guide from a web site. It names
// every database of the guide and every image and border image they name,
// each as the file is named in the folder: the program matches an image's
// name without regard to letter case, a web server does not.
#include "mapdb/map.h"
#include "tools/atomic_write.h"
#include "tools/guide_check.h"
#include "tools/json_writer.h"
#include "tools/tool_commands.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "mapfolio-tool: %s\n", message.c_str());
    return 1;
}

// The file that map names as name, found as the program finds it, relative
// to the guide (whose path, ending in '/', is prefix); empty, with the
// reason in error, when it is not a file inside the guide.
std::string named_file(const CMap& map, LPCWSTR name, const std::string& prefix, std::string* error) {
    const std::string shown = platform::to_utf8(name);
    WCHAR found[MAX_PATH];
    if (!FindImageFile(found, map.dabDirectory, name)) {
        *error = "the path of " + shown + " is too long";
        return {};
    }
    const std::string path = platform::to_utf8(found);
    const std::string relative = path.substr(prefix.size());
    for (std::size_t at = 0; at <= relative.size();) {
        std::size_t end = relative.find('/', at);
        if (end == std::string::npos) end = relative.size();
        const std::string_view part(relative.data() + at, end - at);
        if (part.empty() || part == "." || part == "..") {
            *error = "names " + shown + ", which is not a file inside the guide";
            return {};
        }
        at = end + 1;
    }
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        *error = "names " + shown + ", which is missing";
        return {};
    }
    return relative;
}

}  // namespace

int RunWebIndexCommand(const ToolArgs& args) {
    if (args.size() != 1) {
        std::fputs("usage: mapfolio-tool web-index GUIDE\n", stderr);
        return 2;
    }
    std::string guide = args[0];
    while (guide.size() > 1 && guide.back() == '/') guide.pop_back();
    const std::string prefix = guide + "/";

    std::vector<std::string> databases;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(guide, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && is_dab_name(name)) databases.push_back(name);
    }
    if (ec) return fail("cannot read " + guide + ": " + ec.message());
    if (databases.empty()) return fail(guide + " holds no .DAB database");

    std::set<std::string> files(databases.begin(), databases.end());
    for (const std::string& database : databases) {
        CMap map;
        int line = 0;
        map.Open(platform::from_utf8(prefix + database).c_str(), &line);
        std::string error;
        if (!map.dataLoaded) {
            error = "does not load (" + (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) +
                    platform::to_utf8(map.errorText) + ")";
        } else {
            std::vector<LPCWSTR> names{map.imageName};
            // The records are packed: their fields are copied, never referenced.
            for (const BackgroundImage* image = map.backgroundImageList; image; image = image->next) {
                const LPCWSTR name = image->fileName;
                names.push_back(name);
            }
            for (LPCWSTR name : names) {
                const std::string file = named_file(map, name, prefix, &error);
                if (file.empty()) break;
                files.insert(file);
            }
        }
        map.Close();
        if (!error.empty()) return fail(prefix + database + ": " + error + "; guide.json is not written");
    }

    JsonWriter json;
    json.begin_object().key("files").begin_array();
    for (const std::string& file : files) json.value(file);
    json.end_array().end_object();
    const std::string target = prefix + "guide.json";
    const std::string temporary = write_temporary(target, json.str() + "\n");
    if (temporary.empty() || std::rename(temporary.c_str(), target.c_str()) != 0) {
        if (!temporary.empty()) ::unlink(temporary.c_str());
        return fail("cannot write " + target);
    }
    sync_directory(guide);
    std::printf("%s: %zu files\n", target.c_str(), files.size());
    return 0;
}
