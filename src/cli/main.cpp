// quarvel-cli: the history and the analyses for scripts and batch use.
#include <QCoreApplication>
#include <iostream>

#include "cli/program.h"

int main(int argc, char** argv) {
    quarvel::cli::nameTheProgram();
    QCoreApplication app(argc, argv);
    // The arguments as Qt leaves them (it takes out its own), each as its bytes.
    return quarvel::cli::runProgram({argv, argv + argc}, std::cout, std::cerr);
}
