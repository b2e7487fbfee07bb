// kb_make_toollibs <folder>: writes the six default tool libraries into the
// folder (created when missing).

#include "cam/tools/DefaultToolLibraries.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: kb_make_toollibs <folder>\n";
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        WriteDefaultToolLibraries(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "kb_make_toollibs: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
