// quarvel-cli: the history and the analyses for scripts and batch use.
#include <QCoreApplication>
#include <iostream>

#include "cli/program.h"
#include "platform/program_folders.h"
#include "platform/standard_streams.h"

int main(int argc, char** argv) {
    quarvel::cli::nameTheProgram();
    quarvel::platform::useUtf8StandardStreams();
    QCoreApplication app(argc, argv);
    // The arguments as Qt leaves them (it takes out its own), each as its bytes.
    return quarvel::cli::runProgram(quarvel::platform::argumentsAsUtf8(argc, argv), std::cout,
                                    std::cerr);
}
