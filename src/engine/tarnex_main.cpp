// tarnex: adjusts a levelling network by least squares.
//   tarnex          asks for the engine input file on the console
//   tarnex FILE     adjusts FILE without asking
#include "engine.h"

#include <iostream>
#include <optional>
#include <string>

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::cerr << "usage: tarnex [engine-input-file]\n";
        return 1;
    }
    std::optional<std::string> inputFile;
    if (argc == 2)
        inputFile = argv[1];
    tarnex::EngineSession session{std::cin, std::cout, std::cerr};
    return tarnex::runEngine(session, inputFile);
}
