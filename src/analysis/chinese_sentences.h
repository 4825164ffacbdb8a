// The sentences the analysis writes in English into its result (the notes on weights and
// datum, why a test was not possible) in Traditional Chinese, for the window and the HTML
// report. The summary, JSON and CSV keep the English sentences.
#pragma once

#include <string>
#include <string_view>

namespace korvane::analysis {

// The sentence in Traditional Chinese when it is one the analysis or a reader writes, else as
// it is. Numbers within a sentence are carried over.
std::string inChinese(std::string_view sentence);

}  // namespace korvane::analysis
