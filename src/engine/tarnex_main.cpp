// tarnex: adjusts a levelling network by least squares.
//   tarnex            asks for the engine input file on the console
//   tarnex FILE       adjusts FILE without asking
//   tarnex --help     describes the program; --version shows its version (each only as the one argument)
#include "engine.h"

#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kHelp =
    "Usage: tarnex [FILE]\n"
    "Adjusts a levelling network by least squares: heights of the network's points from height\n"
    "differences weighted by distance (or by distance and accuracy grade) and known benchmarks.\n"
    "\n"
    "Without FILE, tarnex asks on the console for the name of the engine input file (at most 30\n"
    "characters) and asks again while no such file exists; with FILE it adjusts FILE without asking.\n"
    "It converts the input into the work file level.inp, adjusts the network and writes the report\n"
    "level.out and the dump level.dmp, all in the current folder. Console text and files are code\n"
    "page 950 with CR LF line ends.\n"
    "\n"
    "The engine input file: a job title line; observations 'from, to, dh, dist, grade' in columns of\n"
    "10 (2A10,2F10.0,F10.0), ended by -99; known points 'name, elevation, sigma' (A10,F10.0,F10.0),\n"
    "ended by -99.\n"
    "\n"
    "      --help       show this help and exit\n"
    "      --version    show the version and exit\n"
    "\n"
    "Each of these works only as the one argument; a file named --help is reached as ./--help.\n"
    "\n"
    "Exit status: 0 after the normal end (\"normal end O.K\"), 1 after a stop (capacity, unreadable\n"
    "input, no known point, a zero distance, or a zero grade when grades weight the observations).\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::cerr << "usage: tarnex [engine-input-file]\n";
        return 1;
    }
    std::optional<std::string> inputFile;
    if (argc == 2) {
        const std::string_view argument = argv[1];
        if (argument == "--help") {
            std::cout << kHelp;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "tarnex " << TARNEX_VERSION << '\n';
            return 0;
        }
        inputFile = argv[1];
    }
    tarnex::EngineSession session{std::cin, std::cout, std::cerr};
    return tarnex::runEngine(session, inputFile);
}
