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

// Why an analysis could not be made (AnalysisFailure, InputError) in Traditional Chinese, with
// the places in it ("net.dat, line 5", "Lnet.mdb, table dat, row 3, field dh") too; names and
// numbers carried over. A message it does not know keeps its words, its places translated.
std::string failureInChinese(std::string_view message);

}  // namespace korvane::analysis
