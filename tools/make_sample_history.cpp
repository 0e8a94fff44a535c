// Writes the made-up sample history shipped beside the program: make_sample_history FILE
#include <exception>
#include <iostream>

#include "history_io/atomic_file.h"
#include "history_io/export.h"
#include "history_io/sample_history.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_history FILE\n";
        return 2;
    }
    try {
        const std::filesystem::path target = quarvel::io::utf8Path(argv[1]);
        std::filesystem::create_directories(target.parent_path());
        quarvel::io::writeFileAtomically(target, quarvel::io::sampleHistoryText({}));
    } catch (const std::exception& e) {
        std::cerr << "make_sample_history: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
