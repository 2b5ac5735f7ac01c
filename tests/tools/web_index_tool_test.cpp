#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing_support::read_file;
using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

const std::string kHead = "<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n";

testing_support::CommandResult web_index(const TempDir& dir) {
    return run_command(std::string(MAPFOLIO_TOOL_PATH) + " web-index " + shell_quote(dir.path()) + "/ 2>&1");
}

TEST(WebIndexTool, ListsTheDatabasesAndTheFilesTheyNameAsNamedInTheFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    dir.write("home.dab",
              kHead + "<Images>\r\nMAP.TWK\r\n<Background Images>\r\ntop.twk,0\r\n</Background Images>\r\n");
    dir.write("Main.Dab", kHead + "<Images>\r\nsub/main.twk\r\n");
    for (const char* file : {"map.twk", "top.twk", "sub/main.twk", "unused.twk", "notes.txt"}) dir.write(file, "x");
    dir.write("guide.json", "old");
    const auto result = web_index(dir);
    EXPECT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(read_file(dir.file("guide.json")),
              "{\"files\":[\"Main.Dab\",\"home.dab\",\"map.twk\",\"sub/main.twk\",\"top.twk\"]}\n");
}

TEST(WebIndexTool, RefusesAGuideItCannotListAndLeavesGuideJsonAsItWas) {
    struct Case {
        const char* home;  // HOME.DAB after its head, or null for none
        const char* error;
    };
    const Case cases[] = {
        {"<Images>\r\nmap.twk\r\n<Background Images>\r\ntop.twk,0\r\n</Background Images>\r\n",
         "HOME.DAB: names top.twk, which is missing"},
        {"<Images>\r\n../map.twk\r\n", "HOME.DAB: names ../map.twk, which is not a file inside the guide"},
        {"<Images>\r\nmap.twk\r\n<Locations>\r\nCafes\r\n1,2\r\n</Locations>\r\n",
         "HOME.DAB: does not load (line 9: Database <Locations> error)"},
        {nullptr, "holds no .DAB database"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.home) dir.write("HOME.DAB", kHead + c.home);
        dir.write("map.twk", "x");
        dir.write("guide.json", "old");
        const auto result = web_index(dir);
        EXPECT_EQ(result.exitCode, 1) << c.error;
        EXPECT_NE(result.out.find(c.error), std::string::npos) << result.out;
        EXPECT_EQ(read_file(dir.file("guide.json")), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), c.home ? 3 : 2) << c.error;
    }
}

}  // namespace
