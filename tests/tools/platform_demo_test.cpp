#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

using testing_support::read_file;
using testing_support::run_command;
using testing_support::shell_quote;

unsigned be32(const std::string& bytes, std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
}

TEST(PlatformDemo, WritesTheScreenAndTheMessageBoxAsPng) {
    testing_support::TempDir dir;
    std::string screen = dir.file("screen.png");
    std::string box = dir.file("box.png");
    auto result = run_command(shell_quote(MAPFOLIO_DEMO_PATH) + " --png " + shell_quote(screen) + " --box-png " +
                              shell_quote(box));
    ASSERT_EQ(result.exitCode, 0);
    std::string first = read_file(screen);
    std::string second = read_file(box);
    for (const std::string* png : {&first, &second}) {
        ASSERT_GT(png->size(), 100u);
        EXPECT_EQ(png->substr(1, 3), "PNG");
        EXPECT_EQ(be32(*png, 16), 240u);
        EXPECT_EQ(be32(*png, 20), 320u);
    }
    EXPECT_NE(first, second);

    EXPECT_EQ(run_command(shell_quote(MAPFOLIO_DEMO_PATH) + " --png " + shell_quote(dir.file("none/x.png"))).exitCode,
              1);
    EXPECT_EQ(run_command(shell_quote(MAPFOLIO_DEMO_PATH) + " --box-png x.png 2>/dev/null").exitCode, 2);
}

}  // namespace
