// Writing a result file: the whole text goes to a temporary file beside the target, which then
// replaces the target, so that a failure leaves no half-written file.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace korvane::analysis {

// A result file or folder that could not be written. what() says so in English for the command
// line; the fields let a window say it in its own words.
struct OutputFileFailure : std::runtime_error {
    OutputFileFailure(std::filesystem::path path, bool folder, std::error_code cause, const std::string& what)
        : std::runtime_error(what), path(std::move(path)), folder(folder), cause(cause)
    {
    }
    std::filesystem::path path;
    bool folder = false;
    // Empty when the disk refused the data, or (a folder) a file of that name is in the way.
    std::error_code cause;
};

// Throws OutputFileFailure naming the file and the cause.
void writeOutputFile(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write);

}  // namespace korvane::analysis
