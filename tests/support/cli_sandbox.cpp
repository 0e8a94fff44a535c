#include "support/cli_sandbox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <sstream>

#include "cli/program.h"

namespace quarvel::testing {

namespace fs = std::filesystem;

namespace {

// The program needs a QCoreApplication (settings, folders, the page fetch); the test's own is
// made on first use (from the test's main thread), named as the program names itself, and kept
// to the end of the process.
void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "quarvel-cli";
    static char* argv[] = {name, nullptr};
    quarvel::cli::nameTheProgram();
    static const auto* app = new QCoreApplication(argc, argv);
    (void)app;
}

// The files of `folder` that this process holds open.
std::vector<std::string> filesOpenUnder(const fs::path& folder) {
    const std::string prefix = fs::weakly_canonical(folder).string() + "/";
    std::vector<std::string> open;
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd", ec)) {
        const fs::path target = fs::read_symlink(fd.path(), ec);
        if (!ec && target.string().starts_with(prefix)) open.push_back(target.string());
    }
    return open;
}

std::vector<std::string> inSandbox(const fs::path& dir, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--data-dir", dir.string(), "--settings-file",
                                    (dir / "settings.ini").string()};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

}  // namespace

CliResult CliSandbox::cli(const std::vector<std::string>& args) const {
    ensureApplication();
    std::vector<std::string> argv = {QUARVEL_CLI_PATH};
    for (auto& a : inSandbox(dir.path(), args)) argv.push_back(std::move(a));
    std::ostringstream out, err;
    CliResult r;
    r.status = quarvel::cli::runProgram(argv, out, err);
    r.out = out.str();
    r.err = err.str();
    EXPECT_EQ(filesOpenUnder(dir.path()), std::vector<std::string>{})
        << (args.empty() ? std::string() : args.front()) << " left them open";
    return r;
}

CliResult CliSandbox::cliProcess(const std::vector<std::string>& args) const {
    return runCli(inSandbox(dir.path(), args));
}

void CliSandbox::addAll(const std::vector<std::vector<std::string>>& draws) const {
    for (auto d : draws) {
        d.insert(d.begin(), "add");
        const CliResult r = cli(d);
        ASSERT_EQ(r.status, 0) << r.err;
    }
}

}  // namespace quarvel::testing
