#pragma once
// quarvel-cli as a function: the program's options, its settings and data folder, and the
// command they name. main.cpp runs it on the process's arguments and standard streams; the
// tests run it in their own process.

#include <iosfwd>
#include <string>
#include <vector>

namespace quarvel::cli {

// Gives Qt the program's name and version (the user's data and settings folders are named
// after it); called before the QCoreApplication is created.
void nameTheProgram();

// Runs quarvel-cli on `args` (the program's name first, then its arguments, each as its bytes)
// and returns the exit status: 0 success, 1 a store or file failure, 2 bad arguments. What the
// program prints goes to `out`, its messages to `err`, nothing to the standard streams. A
// QCoreApplication must exist; the history database is closed again on return.
int runProgram(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

}  // namespace quarvel::cli
