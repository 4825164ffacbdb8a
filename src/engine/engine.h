// One run of tarnex: start-up dialogue, conversion of the engine input file into level.inp,
// then the adjustment.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace tarnex {

struct EngineSession {
    std::istream& answers;  // standard input: the file name typed at the prompt
    std::ostream& console;  // standard output
    std::ostream& errors;   // standard error: why a run stopped
    std::filesystem::path folder = ".";  // relative names are looked up, and files written, here
};

// Runs the engine. Without `inputFile` the name is asked for at the prompt (cut to 30
// characters); with it the prompt is skipped and the name is taken whole. Returns the exit
// status: 0 after the normal end, 1 after every stop.
int runEngine(EngineSession& session, const std::optional<std::string>& inputFile);

}  // namespace tarnex
