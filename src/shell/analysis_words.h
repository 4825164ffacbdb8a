#pragma once
// The words, marks and colours of the network analysis window. A pass or a failure is marked by
// a symbol and a word as well as by its colour, so that a page reads without colour too.

#include <QColor>
#include <QString>

#include "analysis_result.h"

namespace korvane::analysis {
struct OutputFileFailure;
}

namespace korvane::shell {

inline const QString kAnalysisWindowTitle = QStringLiteral("網形分析");

inline const QString kPassSymbol = QStringLiteral("✔");
inline const QString kFailSymbol = QStringLiteral("✘");
// The flagged observation of the largest deciding statistic.
inline const QString kMostLikelyError = QStringLiteral("最可能的粗差");
inline const QString kMostLikelyToolTip =
    QStringLiteral("最可能的粗差：檢定未過的觀測中，決定檢定的統計量（先驗 σ₀ 時為 w，否則為 τ）絕對值最大者");
// A value that cannot be computed.
inline const QString kNoValue = QStringLiteral("—");

QColor passColour();
QColor failColour();
QColor passBackground();
QColor failBackground();

// "✔ 合格" or "✘ 超限".
QString closureMark(bool passes);
QString closureKindName(analysis::ClosureKind kind);  // 環線, 已知點間路線, 重複測量
QString knownRoleName(analysis::KnownRole role);      // 新點, 已知點（固定）, ...
QString globalVerdictText(analysis::GlobalVerdict verdict);
bool globalVerdictPasses(analysis::GlobalVerdict verdict);
// The analysis's stage in words ("reading", "checks", "snooping step 3", ...).
QString stageName(const QString& stage);

// Why a result file or folder could not be written: the file and the cause, in the window's words.
QString writeFailureText(const analysis::OutputFileFailure& failure);
// A name of the result's levelling classes ("first-I", ...) in words, with its k.
QString toleranceClassName(std::string_view name);

// Fixed decimals; kNoValue for a value that cannot be computed.
QString number(const analysis::Quantity& value, int decimals);
QString number(double value, int decimals);

// "A → B → C → A", at most `most` names.
QString walkText(const analysis::AnalysisResult& result, const std::vector<int>& points, int most = 12);
// "A, B, C", at most `most` names and then how many in all.
QString nameList(const analysis::AnalysisResult& result, const std::vector<int>& points, int most = 12);
// "A → B" of an observation.
QString observationText(const analysis::AnalysisResult& result, int observation);

// The observation's verdict: "✔", "✘ w τ", "移除（第 n 步）", "未受檢核".
QString observationMark(const analysis::ObservationResult& observation);
bool observationFails(const analysis::ObservationResult& observation);
// A test was made: its deciding statistic (w with an a-priori σ₀, else τ) could be computed.
bool observationTested(const analysis::ObservationResult& observation);

}  // namespace korvane::shell
