#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

std::string tool(const std::string& args) { return std::string(MAPFOLIO_TOOL_PATH) + " " + args; }

TEST(DabTool, DumpPrintsTheMinimalDatabaseAsOneJsonObject) {
    TempDir dir;
    std::string path = dir.write("HARBOUR.DAB",
                                 "<Mapfolio Version>\r\n1\r\n<Name>\r\nHarbour,Harbour district,Sample\r\n"
                                 "<Locations>\r\nCafes\r\n120,340,Quay Cafe,Open all day\r\n410,95,Station Cafe\r\n"
                                 "</Locations>\r\n<Images>\r\nharbour.img\r\n");
    auto result = run_command("cd " + shell_quote(dir.path()) + " && " + tool("dab dump HARBOUR.DAB"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "{\"file\":\"HARBOUR.DAB\",\"ok\":true,\"encoding\":\"Ansi1252\","
              "\"version\":{\"text\":\"1\",\"number\":1},\"name\":[\"Harbour\",\"Harbour district\",\"Sample\"],"
              "\"topics\":[],\"categories\":[{\"name\":\"Cafes\",\"locations\":["
              "{\"x\":120,\"y\":340,\"name\":\"Quay Cafe\",\"description\":\"Open all day\"},"
              "{\"x\":410,\"y\":95,\"name\":\"Station Cafe\",\"description\":null}]}],"
              "\"related_maps\":[],\"link_groups\":[],\"image\":\"harbour.img\",\"background_images\":[]}\n");
}

TEST(DabTool, DumpEscapesTextAndNamesTheEncoding) {
    TempDir dir;
    std::string source = "<Mapfolio Version>\n1\n<Name>\nQuote \"q\" \\ tab\t,b,c\n<Images>\nm\n"
                         "<Related Maps>\nA,1,2,3,4,B,5,6,7,8\n</Related Maps>\n<Links>\nG\n9,1,2,t1,t2\n</Links>\n"
                         "<Background Images>\ntop.twk,0\n</Background Images>\n<Information>\nT\n\xC3\xA9\n";
    std::string path = dir.write("A.DAB", "\xEF\xBB\xBF" + source);
    auto result = run_command(tool("dab dump " + shell_quote(path)));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("\"encoding\":\"Utf8\""), std::string::npos);
    EXPECT_NE(result.out.find("\"Quote \\\"q\\\" \\\\ tab\\t\""), std::string::npos);
    EXPECT_NE(result.out.find("\"related_maps\":[{\"source\":\"A\",\"hot\":[1,2,3,4],\"target\":\"B\",\"target_rect\":[5,6,7,8]}]"),
              std::string::npos);
    EXPECT_NE(result.out.find("\"link_groups\":[{\"name\":\"G\",\"entries\":[{\"number\":9,\"x\":1,\"y\":2,\"text1\":\"t1\",\"text2\":\"t2\"}]}]"),
              std::string::npos);
    EXPECT_NE(result.out.find("\"topics\":[{\"title\":\"T\",\"text\":\"\xC3\xA9\"}]"), std::string::npos);
    EXPECT_NE(result.out.find("\"background_images\":[{\"file\":\"top.twk\",\"slot\":0}]"), std::string::npos);
}

TEST(DabTool, DumpReportsAFailedParseWithItsLine) {
    TempDir dir;
    std::string path = dir.write("BAD.DAB",
                                 "<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n"
                                 "<Locations>\r\nCafes\r\n1,2,ok\r\n1,2\r\n</Locations>\r\n");
    auto result = run_command(tool("dab dump " + shell_quote(path)));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "{\"file\":" + std::string("\"") + path +
                              "\",\"ok\":false,\"error\":\"Database <Locations> error\",\"line\":10}\n");
    std::string noImages = dir.write("NOIMG.DAB", "<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n");
    result = run_command(tool("dab dump " + shell_quote(noImages)));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("\"error\":\"Database <Images> Error\",\"line\":null"), std::string::npos);
}

TEST(DabTool, CheckReportsEachDatabaseAndTheGuideAsAWhole) {
    TempDir dir;
    const std::string head = "<Mapfolio Version>\r\n1\r\n<Images>\r\nm.twk\r\n";
    dir.write("home.dab", head + "<Name>\r\nWorld,b,c\r\n<Related Maps>\r\nWorld,0,0,9,9,Atlantis,0,0,0,0\r\n"
                                 "World,0,0,9,9,Europe,0,0,0,0\r\n</Related Maps>\r\n");
    dir.write("Main.Dab", head + "<Name>\r\nEurope,b,c\r\n");
    dir.write("BROKEN.DAB", head + "<Name>\r\nOnlyOne\r\n");
    dir.write("notes.txt", "not a database");
    auto result = run_command(tool("dab check " + shell_quote(dir.path())));
    EXPECT_EQ(result.exitCode, 1);
    const std::string& d = dir.path();
    EXPECT_EQ(result.out, "FAIL " + d + "/BROKEN.DAB: line 6: Database <Name> error\n"
                          "OK " + d + "/Main.Dab: Europe\n"
                          "OK " + d + "/home.dab: World\n"
                          "OK " + d + ": HOME.DAB present and loads\n"
                          "OK " + d + ": MAIN.DAB present and loads\n"
                          "FAIL " + d + "/home.dab: related map target \"Atlantis\" matches no map\n");
    std::remove((d + "/BROKEN.DAB").c_str());
    std::remove((d + "/Main.Dab").c_str());
    result = run_command(tool("dab check " + shell_quote(d + "/home.dab")));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "OK " + d + "/home.dab: World\n");
    result = run_command(tool("dab check " + shell_quote(d)));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("FAIL " + d + ": MAIN.DAB is missing\n"), std::string::npos);
}

}  // namespace
