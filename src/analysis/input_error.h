// Bad input to the analysis: the message names the source (file and line, or table and row) and
// the field, in the words tarnex uses for its own input errors.
#pragma once

#include <stdexcept>
#include <string>

namespace korvane::analysis {

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace korvane::analysis
