#pragma once
// What every fuzz target checks in what a parser made of its input, beyond the sanitizers: a
// failed check aborts, so libFuzzer keeps the input as a finding and a regression run fails.
//
// A number that is not finite must never reach an output: no "inf", "nan", "Infinity", "NaN" or
// "∞" in a text a parser writes, and no infinite or NaN value among the values it produces.
// Words the input itself holds (a point named "nan", part of "infinity" in a field cut to its
// columns) pass through as text and are no finding.

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::fuzz {

// Reports a finding on standard error ("fuzz finding in WHERE: WHAT") and aborts.
[[noreturn]] void finding(std::string_view where, std::string_view what);

// Aborts when `output` shows a non-finite number (a run of ASCII letters that reads "inf",
// "infinity" or "nan" in any case, or "∞") that `input` does not hold.
void checkNoNonFiniteText(std::string_view output, std::string_view input, std::string_view where);

// Aborts for an infinite or NaN value.
void checkFinite(double value, std::string_view where);

// Aborts when `output` shows a run of more than 15 digits that `input` does not hold (its digits
// taken alone, as a copied text field may join them): a number
// that passed through a double keeps 15 significant digits, so the rest of such a run is made
// up, the value too large for any field of a survey report.
void checkDigitsKept(std::string_view output, std::string_view input, std::string_view where);

// Both text checks.
void checkOutputText(std::string_view output, std::string_view input, std::string_view where);

// An empty folder of this process for the files a parser reads or writes: in /dev/shm when there
// is one, removed when the process ends normally. Created on the first call.
const std::filesystem::path& scratchFolder();

// Replaces the file `name` of the scratch folder with `bytes`; returns its path.
std::filesystem::path writeScratchFile(std::string_view name, std::string_view bytes);

// The whole content of a file; empty when it cannot be read.
std::string fileContent(const std::filesystem::path& path);

}  // namespace korvane::fuzz
