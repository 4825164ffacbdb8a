#pragma once
// The network analysis in sentences for its window: the checks' findings above their tables,
// the global test, the critical values of the observation tests, a one-line account of the
// whole run, and what went wrong when there is no result.

#include <QStringList>

#include "analysis_result.h"
#include "workbench/network_analysis_job.h"

namespace korvane::shell {

// Why σ₀, residuals and r may differ from level.out in their last digits: tarnex's work file
// rounds each distance to whole metres, the analysis takes it as stored.
inline const QString kWholeMetreNote = QStringLiteral(
    "註：分析依資料所存的距離計算；tarnex 的工作檔把距離捨入到整公尺，所以 level.out 的 σ₀、殘差與 r "
    "可能在最後幾位與此處不同");

// Tolerance, notes and name findings; the note on whole metres when a distance has a fraction
// of a metre.
QStringList checkLines(const analysis::AnalysisResult& result);
// A-posteriori σ₀, degrees of freedom, the chi-square test and its verdict (before and after
// snooping), and the most likely gross error.
QStringList globalTestLines(const analysis::AnalysisResult& result);
// The critical values of w and τ, where MDB's σ₀ comes from, and the most likely gross error.
QStringList observationTestLines(const analysis::AnalysisResult& result);
// "N 點、M 觀測；閉合差 ✘ 2 項超限；✘ 1 個觀測檢定未過（最可能的粗差 C → D）；整體檢定 ✔ 通過".
QString outcomeLine(const analysis::AnalysisResult& result);
// A failed run in words, with the names of the points involved.
QString describeProblem(const workbench::NetworkAnalysisOutcome& outcome, const analysis::AnalysisOptions& options);

}  // namespace korvane::shell
