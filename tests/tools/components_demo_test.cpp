#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

using testing_support::read_file;
using testing_support::run_command;
using testing_support::shell_quote;

TEST(ComponentsDemo, WritesTheStripTheDocumentTheLogAndTheTipAsDistinctScreens) {
    testing_support::TempDir dir;
    auto result = run_command(shell_quote(MAPFOLIO_COMPONENTS_DEMO_PATH) + " " + shell_quote(dir.path()) + " --zoom 2");
    ASSERT_EQ(result.exitCode, 0);
    std::vector<std::string> shots;
    for (const char* name : {"strip", "document", "log", "tip"}) {
        shots.push_back(read_file(dir.file(std::string(name) + ".png")));
        ASSERT_GT(shots.back().size(), 100u) << name;
        EXPECT_EQ(shots.back().substr(1, 3), "PNG");
        EXPECT_GT(read_file(dir.file(std::string(name) + "-x2.png")).size(), shots.back().size());
    }
    for (std::size_t i = 0; i < shots.size(); ++i)
        for (std::size_t k = i + 1; k < shots.size(); ++k) EXPECT_NE(shots[i], shots[k]);
    EXPECT_EQ(run_command(shell_quote(MAPFOLIO_COMPONENTS_DEMO_PATH) + " 2>/dev/null").exitCode, 2);
    EXPECT_EQ(run_command(shell_quote(MAPFOLIO_COMPONENTS_DEMO_PATH) + " " + shell_quote(dir.file("none")) +
                          " 2>/dev/null")
                  .exitCode,
              1);
}

}  // namespace
