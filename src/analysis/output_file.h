// Writing a result file: the whole text goes to a temporary file beside the target, which then
// replaces the target, so that a failure leaves no half-written file.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

namespace korvane::analysis {

// Throws std::runtime_error naming the file and the cause.
void writeOutputFile(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write);

}  // namespace korvane::analysis
