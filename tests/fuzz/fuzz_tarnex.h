#pragma once
// tarnex run inside a fuzz target, as `tarnex FILE` runs it, with its console and files checked.

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::fuzz {

// Runs tarnex on the file `inputName` of `folder`, writing its files there, and checks the
// console, the error stream, level.inp, level.out and level.dmp for numbers that are not finite
// (words of `input` excepted). A stop with a message is no finding. Returns the exit status.
int runTarnex(const std::filesystem::path& folder, const std::string& inputName, std::string_view input,
              std::string_view where);

}  // namespace korvane::fuzz
