// Both programs answer --help and --version (and -h, -v) by printing and exiting 0, without a
// display and before touching a history; a wrong option is a usage error. The binary answers
// as the program the other CLI tests run in their own process.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_sandbox.h"

using quarvel::testing::runCommand;

TEST(ProgramOptions, HelpAndVersionPrintAndExitWithoutADisplay) {
    QUARVEL_SKIP_ON_WINDOWS("runs env -u");
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
        {QUARVEL_WINDOW_PATH, "--help-all", "-platform"},
        {QUARVEL_CLI_PATH, "--help", "命令："},
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
    // An unknown option is refused before a display is needed; the usage line names the program.
    const auto bogus = runCommand({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                   "QT_QPA_PLATFORM", QUARVEL_WINDOW_PATH, "--bogus"});
    EXPECT_EQ(bogus.status, 2);
    EXPECT_NE(bogus.err.find("bogus"), std::string::npos) << bogus.err;
    const auto help = runCommand({QUARVEL_WINDOW_PATH, "--help"});
    EXPECT_NE(help.out.find("Usage: quarvel [options]"), std::string::npos) << help.out;
}

// The binary and the program run in this process answer alike, byte for byte: the binary hands
// its arguments on as their bytes (a folder name that is not valid UTF-8 included), and every
// message of the program's own is the same.
TEST(ProgramOptions, TheBinaryAnswersAsTheProgramRunInProcess) {
    quarvel::testing::CliSandbox sandbox;
    const std::string odd = (sandbox.dir.path() / std::string("data\xff")).string();
    const std::string broken = (sandbox.dir.path() / "broken").string();
    ASSERT_EQ(sandbox
                  .cliProcess({"--data-dir", odd, "add", "2013001", "01", "02", "03", "04", "05",
                               "06", "07", "08"})
                  .status,
              0);
    std::filesystem::create_directories(broken);
    quarvel::testing::writeFile(broken + "/quarvel.mdb", "not a database");
    quarvel::testing::writeFile(sandbox.dir.path() / "settings.ini", "[IniSetting]\nSxIni=7\n");
    const std::vector<std::vector<std::string>> runs = {
        {"--help"},
        {"-v"},
        {},
        {"--no-such-option", "list"},
        {"--ds-base", "2", "list"},
        {"nosuch"},
        {"--data-dir", odd, "list"},
        {"--data-dir=" + odd, "--sx-base", "0", "row", "2013001"},
        {"--data-dir", odd, "--settings-file", odd + "/quarvel.mdb", "list"},
        {"--data-dir", odd, "row", "-5"},
        {"search", "--help"},
        {"--data-dir", odd, "groups", "--size", "2"},
        {"--data-dir", broken, "list"},
    };
    for (const auto& args : runs) {
        const auto whole = sandbox.cliProcess(args);
        const auto inProcess = sandbox.cli(args);
        const std::string shown = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(inProcess.status, whole.status) << shown;
        EXPECT_EQ(inProcess.out, whole.out) << shown;
        EXPECT_EQ(inProcess.err, whole.err) << shown;
    }
}
