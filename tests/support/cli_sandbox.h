#pragma once
// quarvel-cli run in the test's own process on a data folder with its own settings file.

#include <string>
#include <vector>

#include "support/test_support.h"

namespace quarvel::testing {

struct CliSandbox {
    TempDir dir;
    // The program run in this process; it fails the test when the run leaves a file of the
    // folder open (the history database is closed by the time the program has ended).
    CliResult cli(const std::vector<std::string>& args) const;
    // The program as a process of its own, for "another program" on the same folder.
    CliResult cliProcess(const std::vector<std::string>& args) const;
    // `add` for each draw (issue then eight numbers, as typed); a refused one fails the test.
    void addAll(const std::vector<std::vector<std::string>>& draws) const;
};

}  // namespace quarvel::testing
