#pragma once
// The columns of the deformation window's tables, read straight from the monitoring result:
// each epoch's checks, the displacements of the comparisons and the benchmarks' velocities.

#include <memory>
#include <vector>

#include "deformation.h"
#include "shell/result_table_model.h"

namespace korvane::shell {

using SharedDeformation = std::shared_ptr<const deformation::DeformationResult>;

inline const QString kDeformationWindowTitle = QStringLiteral("變形分析");

// A displacement row: the comparison and its row.
struct DisplacementRef {
  int comparison = 0;
  int row = 0;
};

// The displacement rows of one comparison, or of all of them in order (comparison < 0).
std::vector<DisplacementRef> displacementRows(const deformation::DeformationResult& result, int comparison);

std::vector<ResultColumn> epochColumns(const SharedDeformation& result);
std::vector<ResultColumn> displacementColumns(const SharedDeformation& result, std::vector<DisplacementRef> rows);
std::vector<ResultColumn> velocityColumns(const SharedDeformation& result);

bool epochFails(const deformation::EpochResult& epoch);
// Moving, or faster than the rate limit.
bool velocityFlagged(const deformation::VelocityRow& row);

QString benchmarkName(const deformation::DeformationResult& result, int benchmark);
QString velocityClassWords(deformation::VelocityClass kind);  // 基準點, 穩定, 移動, 超過速率限值, 無速度
QString stableSearchWords(deformation::StableSearch search);  // 疊代, IWST, 指定
// "第 1 期 → 第 2 期（2021-03-01 → 2022-03-01）".
QString comparisonName(const deformation::DeformationResult& result, int comparison);
// The observations of the epoch flagged by their tests (removed ones included).
int flaggedObservations(const deformation::EpochResult& epoch);

}  // namespace korvane::shell
