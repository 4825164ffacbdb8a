#include "fuzz_checks.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace korvane::fuzz {
namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string lowered(std::string_view text) {
  std::string low(text);
  for (char& c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return low;
}

bool isNonFiniteWord(std::string_view lowWord) {
  return lowWord == "inf" || lowWord == "infinity" || lowWord == "nan";
}

// Whether `text` holds `lowWord` anywhere, whatever its case: an input field cut to its columns
// may show part of a longer word ("inf" of "infinity").
bool holdsWord(std::string_view text, std::string_view lowWord) { return lowered(text).find(lowWord) != std::string::npos; }

// A short excerpt of `text` around `at`, for the finding's message.
std::string excerpt(std::string_view text, std::size_t at) {
  const std::size_t begin = at > 40 ? at - 40 : 0;
  std::string shown(text.substr(begin, 100));
  std::replace_if(shown.begin(), shown.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return "\"" + shown + "\"";
}

class ScratchFolder {
 public:
  ScratchFolder() {
    std::filesystem::path parent;
    if (const char* chosen = std::getenv("KORVANE_FUZZ_SCRATCH"); chosen && *chosen) {
      parent = chosen;
    } else {
      std::error_code error;
      parent = std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                                 : std::filesystem::temp_directory_path();
    }
    std::string pattern = (parent / ("korvane-fuzz-" + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) finding("the scratch folder", "cannot create a folder in " + parent.string());
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

void finding(std::string_view where, std::string_view what) {
  std::fprintf(stderr, "fuzz finding in %.*s: %.*s\n", static_cast<int>(where.size()), where.data(),
               static_cast<int>(what.size()), what.data());
  std::fflush(stderr);
  std::abort();
}

void checkNoNonFiniteText(std::string_view output, std::string_view input, std::string_view where) {
  std::size_t at = 0;
  while (at < output.size()) {
    if (!isLetter(output[at])) {
      ++at;
      continue;
    }
    const std::size_t begin = at;
    while (at < output.size() && isLetter(output[at])) ++at;
    const std::string word = lowered(output.substr(begin, at - begin));
    if (isNonFiniteWord(word) && !holdsWord(input, word))
      finding(where, "a number that is not finite in the output: " + excerpt(output, begin));
  }
  static constexpr std::string_view kInfinitySign = "\xE2\x88\x9E";  // ∞ in UTF-8
  if (const std::size_t sign = output.find(kInfinitySign);
      sign != std::string_view::npos && input.find(kInfinitySign) == std::string_view::npos) {
    finding(where, "an infinity sign in the output: " + excerpt(output, sign));
  }
}

void checkFinite(double value, std::string_view where) {
  if (!std::isfinite(value)) {
    std::ostringstream text;
    text << "a value that is not finite: " << value;
    finding(where, text.str());
  }
}

namespace {
// What may stand just before and just after a number in a report or a listing.
bool startsNumber(char c) { return std::string_view(" \t\r\n,=:(+-").find(c) != std::string_view::npos; }
bool endsNumber(char c) { return std::string_view(" \t\r\n,)").find(c) != std::string_view::npos; }
}  // namespace

void checkDigitsKept(std::string_view output, std::string_view input, std::string_view where) {
  constexpr std::size_t kDoubleDigits = 15;
  // The input's digits alone: a text field the output copies may join digits that the input
  // keeps apart (by a block break, a sign, a blank), and is still the input's own.
  std::string inputDigits;
  for (const char c : input) {
    if (isDigit(c)) inputDigits += c;
  }
  std::size_t at = 0;
  while (at < output.size()) {
    if (!isDigit(output[at])) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < output.size() && isDigit(output[at])) ++at;
    // Only the whole part of a number the output formats: digits, a decimal point and decimals,
    // standing apart from the text around them (a sign before is part of the number). A point
    // name of digits, joined to letters or signs, is text.
    const bool wholePart = at + 1 < output.size() && output[at] == '.' && isDigit(output[at + 1]);
    if (!wholePart || !(start == 0 || startsNumber(output[start - 1]))) continue;
    std::size_t end = at + 1;
    while (end < output.size() && isDigit(output[end])) ++end;
    if (end < output.size() && !endsNumber(output[end])) continue;
    std::size_t begin = start;
    while (begin + 1 < at && output[begin] == '0') ++begin;
    const std::string_view run = output.substr(begin, at - begin);
    if (run.size() > kDoubleDigits && inputDigits.find(run) == std::string::npos) {
      finding(where, "a number of " + std::to_string(run.size()) +
                         " digits that the input does not hold (a double keeps 15): " + excerpt(output, begin));
    }
  }
}

void checkOutputText(std::string_view output, std::string_view input, std::string_view where) {
  checkNoNonFiniteText(output, input, where);
  checkDigitsKept(output, input, where);
}

const std::filesystem::path& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path();
}

std::filesystem::path writeScratchFile(std::string_view name, std::string_view bytes) {
  const std::filesystem::path path = scratchFolder() / name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) finding("the scratch folder", "cannot write " + path.string());
  return path;
}

std::string fileContent(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace korvane::fuzz
