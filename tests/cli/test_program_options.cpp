// Both programs answer --help and --version (and -h, -v) by printing and exiting 0, without a
// display and before touching a history; a wrong option is a usage error.

#include <gtest/gtest.h>

#include "support/test_support.h"

using quarvel::testing::runCommand;

TEST(ProgramOptions, HelpAndVersionPrintAndExitWithoutADisplay) {
    struct Case {
        const char* program;
        const char* option;
        const char* printed;
    };
    const Case cases[] = {
        {QUARVEL_WINDOW_PATH, "--help", "--data-dir"},
        {QUARVEL_WINDOW_PATH, "-h", "--settings-file"},
        {QUARVEL_WINDOW_PATH, "--version", "quarvel 0"},
        {QUARVEL_WINDOW_PATH, "-v", "quarvel 0"},
        {QUARVEL_CLI_PATH, "--help", "commands:"},
        {QUARVEL_CLI_PATH, "-h", "--sx-base"},
        {QUARVEL_CLI_PATH, "--version", "quarvel-cli 0"},
        {QUARVEL_CLI_PATH, "-v", "quarvel-cli 0"},
    };
    for (const auto& c : cases) {
        // No display and no data folder named: a program that went on would abort or open one.
        const auto r = runCommand({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                   "QT_QPA_PLATFORM", c.program, c.option});
        EXPECT_EQ(r.status, 0) << c.program << " " << c.option << ": " << r.err;
        EXPECT_NE(r.out.find(c.printed), std::string::npos)
            << c.program << " " << c.option << ": " << r.out;
    }
    EXPECT_EQ(runCommand({QUARVEL_CLI_PATH, "--no-such-option", "list"}).status, 2);
    EXPECT_EQ(runCommand({QUARVEL_CLI_PATH, "--sx-base", "2", "list"}).status, 2);
    EXPECT_EQ(runCommand({"env", "-u", "DISPLAY", QUARVEL_WINDOW_PATH, "--data-dir"}).status, 2);
}
