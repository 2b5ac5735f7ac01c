// Which guide the program opens: the one its argument names, by directory or
// by one of its databases, or without an argument the one beside the
// program, else the demo guide of the tree it is installed in, which must
// still be found after the tree is moved.
#include "app/program_start.h"
#include "tests/app/script_run.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

// The guide's directory, or the reason there is none, in angle brackets.
std::string lookup(const std::string& argument, const std::string& programDirectory) {
    std::string reason;
    const std::optional<std::string> guide = FindGuideDirectory(argument, programDirectory, &reason);
    return guide ? *guide : "<none: " + reason + ">";
}

// A tree as an install lays it out: prefix/bin and the demo guide under
// prefix/share.
struct InstalledTree {
    TempDir root;
    std::string bin = root.file("prefix/bin");
    std::string demo = root.file("prefix/share/mapfolio/guides/demo");
    InstalledTree() {
        fs::create_directories(bin);
        fs::create_directories(demo);
    }
};

TEST(GuideLookup, AnArgumentNamesTheGuideByItsDirectoryOrOneOfItsDatabases) {
    TempDir guide;
    guide.write("HOME.DAB", "");
    guide.write("island.dab", "");
    guide.write("Market.Dab", "");
    guide.write("notes.txt", "");
    guide.write("DAB", "");
    fs::create_directory(guide.file("folder.dab"));

    EXPECT_EQ(lookup(guide.path(), ""), guide.path());
    EXPECT_EQ(lookup(guide.path() + "/", ""), guide.path() + "/");
    EXPECT_EQ(lookup(guide.file("folder.dab"), ""), guide.file("folder.dab"));
    // The suffix in any letter case.
    EXPECT_EQ(lookup(guide.file("HOME.DAB"), ""), guide.path());
    EXPECT_EQ(lookup(guide.file("island.dab"), ""), guide.path());
    EXPECT_EQ(lookup(guide.file("Market.Dab"), ""), guide.path());

    EXPECT_EQ(lookup(guide.file("notes.txt"), ""),
              "<none: " + guide.file("notes.txt") + " is neither a guide directory nor a .DAB database>");
    EXPECT_EQ(lookup(guide.file("DAB"), ""),
              "<none: " + guide.file("DAB") + " is neither a guide directory nor a .DAB database>");
    EXPECT_EQ(lookup(guide.file("GONE.DAB"), ""), "<none: " + guide.file("GONE.DAB") + " does not exist>");

    // A database named without a directory is in the working directory.
    const fs::path before = fs::current_path();
    fs::current_path(guide.path());
    EXPECT_EQ(lookup("island.dab", ""), ".");
    fs::current_path(before);
    EXPECT_EQ(lookup("/", ""), "/");
}

TEST(GuideLookup, WithoutAnArgumentTheProgramsOwnGuideComesBeforeTheInstalledDemo) {
    InstalledTree tree;
    // Nothing beside the program: the installed demo guide.
    EXPECT_EQ(lookup("", tree.bin), tree.bin + "/../share/mapfolio/guides/demo");
    EXPECT_EQ(lookup("", tree.bin + "/"), tree.bin + "/../share/mapfolio/guides/demo");
    // A directory that happens to be called HOME.DAB is no home map.
    fs::create_directory(tree.bin + "/HOME.DAB");
    EXPECT_EQ(lookup("", tree.bin), tree.bin + "/../share/mapfolio/guides/demo");
    fs::remove(tree.bin + "/HOME.DAB");
    // A home map beside the program, its name in any letter case, wins.
    std::ofstream(tree.bin + "/Home.dab").put('\n');
    EXPECT_EQ(lookup("", tree.bin), tree.bin);
    fs::remove(tree.bin + "/Home.dab");
    // With neither, the program's directory, where the loading log will
    // tell what is missing.
    fs::remove_all(tree.root.file("prefix/share"));
    EXPECT_EQ(lookup("", tree.bin), tree.bin);

    EXPECT_EQ(lookup("", ""), "<none: the program's own directory is not known>");
}

// The script runner copied into a tree, as the install puts it, with the
// harbour guide in the demo guide's place.
TEST(GuideLookup, AnInstalledRunnerOpensTheDemoGuideOfItsTreeWhereverTheTreeIs) {
    InstalledTree tree;
    fs::copy_file(MAPFOLIO_SCRIPT_PATH, tree.bin + "/mapfolio-script");
    for (const auto& entry : fs::directory_iterator(kHarbour))
        fs::copy_file(entry.path(), tree.demo + "/" + entry.path().filename().string());

    TempDir elsewhere;
    auto state_of = [&](const std::string& runner, const std::string& args) {
        auto run = run_command("cd " + shell_quote(elsewhere.path()) + " && echo state | " + shell_quote(runner) +
                               " " + args);
        EXPECT_EQ(run.exitCode, 0);
        return run.out.empty() ? json() : json::parse(run.out);
    };
    json state = state_of(tree.bin + "/mapfolio-script", "");
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["current_map"], "Harbour");
    EXPECT_EQ(state["maps"].size(), 4u);

    fs::rename(tree.root.file("prefix"), tree.root.file("moved"));
    state = state_of(tree.root.file("moved/bin/mapfolio-script"), "");
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["maps"].size(), 4u);

    // An empty guide argument is none, so a script file can follow it.
    const std::string steps = elsewhere.write("steps.txt", "state\n");
    auto run = run_command(shell_quote(tree.root.file("moved/bin/mapfolio-script")) + " '' " + shell_quote(steps));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(json::parse(run.out)["title"], "Harbour");

    // A database of another guide opens that guide instead.
    app_test::GuideCopy other;
    other.write("TOWER.DAB", app_test::small_database("Tower"));
    state = state_of(tree.root.file("moved/bin/mapfolio-script"), shell_quote(other.file("TOWER.DAB")));
    EXPECT_EQ(state["title"], "Harbour");
    EXPECT_EQ(state["maps"].size(), 5u);
}

TEST(GuideLookup, ARunnerWithNoGuideNearbyStartsAndLogsTheMissingHomeMap) {
    // The build tree has neither a guide beside the runner nor an install.
    auto run = run_command("echo state | " + shell_quote(MAPFOLIO_SCRIPT_PATH));
    ASSERT_EQ(run.exitCode, 0);
    const json state = json::parse(run.out);
    EXPECT_EQ(state["title"], "Loading");
    EXPECT_EQ(state["maps"], json::array());
    const std::string log = state["log"].is_string() ? state["log"].get<std::string>() : "";
    EXPECT_NE(log.find("Failed to create Home and/or Main map"), std::string::npos) << log;
}

}  // namespace
