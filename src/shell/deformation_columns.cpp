#include "shell/deformation_columns.h"

#include <cmath>

#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

using analysis::Quantity;
using deformation::DeformationResult;
using deformation::VelocityClass;

QVariant plain(const Quantity& value) { return sortNumber(value ? std::optional(*value) : std::nullopt); }

// A column of a number that may be missing, shown with `decimals`, sorted by its value.
template <class Get>
ResultColumn quantityColumn(const QString& header, int decimals, Get get, const QString& toolTip = {}) {
  return {header, [get, decimals](int row) { return number(get(row), decimals); },
          [get](int row) { return plain(get(row)); }, {}, true, toolTip};
}

template <class Get>
ResultColumn countColumn(const QString& header, Get get) {
  return {header, [get](int row) { return QString::number(get(row)); },
          [get](int row) { return QVariant(double(get(row))); }, {}, true};
}

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

QString benchmarkName(const DeformationResult& result, int benchmark) {
  return benchmark >= 0 && benchmark < int(result.benchmarks.size()) ? text(result.benchmarks[benchmark]) : kNoValue;
}

QString velocityClassWords(VelocityClass kind) {
  switch (kind) {
    case VelocityClass::Reference: return QStringLiteral("基準點");
    case VelocityClass::Still: return QStringLiteral("穩定");
    case VelocityClass::Moving: return QStringLiteral("移動");
    case VelocityClass::BeyondLimit: return QStringLiteral("超過速率限值");
    case VelocityClass::NoVelocity: break;
  }
  return QStringLiteral("無速度");
}

QString stableSearchWords(deformation::StableSearch search) {
  switch (search) {
    case deformation::StableSearch::Iterative: return QStringLiteral("疊代");
    case deformation::StableSearch::Iwst: return QStringLiteral("IWST");
    case deformation::StableSearch::Given: break;
  }
  return QStringLiteral("指定");
}

QString comparisonName(const DeformationResult& result, int comparison) {
  const deformation::EpochComparison& c = result.comparisons[comparison];
  auto date = [&](int epoch) {
    return epoch >= 0 && epoch < int(result.epochs.size()) ? text(result.epochs[epoch].date) : kNoValue;
  };
  return QStringLiteral("第 %1 期 → 第 %2 期（%3 → %4）").arg(c.from + 1).arg(c.to + 1).arg(date(c.from), date(c.to));
}

int flaggedObservations(const deformation::EpochResult& epoch) {
  int count = 0;
  for (const analysis::ObservationResult& o : epoch.analysis.observations) count += o.flagged() || o.removedAtStep > 0;
  return count;
}

bool epochFails(const deformation::EpochResult& epoch) {
  return !globalVerdictPasses(epoch.analysis.global.verdict) || !epoch.varianceAgrees;
}

bool velocityFlagged(const deformation::VelocityRow& row) {
  return row.kind == VelocityClass::Moving || row.kind == VelocityClass::BeyondLimit;
}

std::vector<DisplacementRef> displacementRows(const DeformationResult& result, int comparison) {
  std::vector<DisplacementRef> rows;
  for (int c = 0; c < int(result.comparisons.size()); ++c) {
    if (comparison >= 0 && c != comparison) continue;
    for (int r = 0; r < int(result.comparisons[c].displacements.size()); ++r) rows.push_back({c, r});
  }
  return rows;
}

std::vector<ResultColumn> epochColumns(const SharedDeformation& result) {
  auto epoch = [result](int row) -> const deformation::EpochResult& { return result->epochs[row]; };
  return {
      countColumn(QStringLiteral("期"), [](int row) { return row + 1; }),
      {QStringLiteral("日期"), [epoch](int row) { return text(epoch(row).date); }},
      {QStringLiteral("來源"), [epoch](int row) { return text(epoch(row).source); }},
      countColumn(QStringLiteral("觀測數"), [epoch](int row) { return epoch(row).observations; }),
      countColumn(QStringLiteral("水準點數"), [epoch](int row) { return epoch(row).benchmarks; }),
      countColumn(QStringLiteral("自由度"), [epoch](int row) { return epoch(row).dof; }),
      quantityColumn(QStringLiteral("後驗 σ₀"), 3, [epoch](int row) { return epoch(row).sigma0; }),
      {QStringLiteral("整體檢定"), [epoch](int row) { return globalVerdictText(epoch(row).analysis.global.verdict); },
       {},
       [epoch](int row) {
         const analysis::GlobalVerdict verdict = epoch(row).analysis.global.verdict;
         return verdict == analysis::GlobalVerdict::NotPossible ? std::nullopt
                                                                 : std::optional(globalVerdictPasses(verdict));
       }},
      {QStringLiteral("變方檢定"),
       [epoch](int row) {
         const deformation::EpochResult& e = epoch(row);
         return (e.varianceAgrees ? kPassSymbol : kFailSymbol) +
                QStringLiteral(" %1（%2 – %3）")
                    .arg(number(e.varianceRatio, 2), number(e.varianceLower, 2), number(e.varianceUpper, 2));
       },
       [epoch](int row) { return plain(epoch(row).varianceRatio); },
       [epoch](int row) { return std::optional(epoch(row).varianceAgrees); }, false,
       QStringLiteral("本期 σ₀² 與其他各期合併 σ₀² 之比的 F 檢定")},
      countColumn(QStringLiteral("未過觀測"), [epoch](int row) { return flaggedObservations(epoch(row)); }),
  };
}

std::vector<ResultColumn> displacementColumns(const SharedDeformation& result, std::vector<DisplacementRef> rows) {
  auto refs = std::make_shared<const std::vector<DisplacementRef>>(std::move(rows));
  auto comparison = [result, refs](int row) -> const deformation::EpochComparison& {
    return result->comparisons[(*refs)[row].comparison];
  };
  auto displacement = [result, refs](int row) -> const deformation::DisplacementRow& {
    const DisplacementRef& ref = (*refs)[row];
    return result->comparisons[ref.comparison].displacements[ref.row];
  };
  auto date = [result](int epoch) { return text(result->epochs[epoch].date); };
  return {
      {QStringLiteral("自"), [comparison, date](int row) { return date(comparison(row).from); }},
      {QStringLiteral("至"), [comparison, date](int row) { return date(comparison(row).to); }},
      {QStringLiteral("點名"), [result, displacement](int row) { return benchmarkName(*result, displacement(row).benchmark); }},
      quantityColumn(QStringLiteral("位移 (mm)"), 2, [displacement](int row) { return displacement(row).displacementMm; },
                     QStringLiteral("後期減前期的高程，以穩定點為基準")),
      quantityColumn(QStringLiteral("σ (mm)"), 2, [displacement](int row) { return displacement(row).sigmaMm; }),
      quantityColumn(QStringLiteral("|t|"), 2, [displacement](int row) { return displacement(row).statistic; }),
      quantityColumn(QStringLiteral("臨界值"), 2, [displacement](int row) { return displacement(row).critical; }),
      quantityColumn(QStringLiteral("MDB (mm)"), 2, [displacement](int row) { return displacement(row).mdbMm; }),
      {QStringLiteral("顯著"),
       [displacement](int row) {
         return displacement(row).significant ? QString(kFailSymbol + QStringLiteral(" 顯著")) : kPassSymbol;
       },
       [displacement](int row) { return QVariant(displacement(row).significant ? 1 : 0); },
       [displacement](int row) { return std::optional(!displacement(row).significant); }},
      {QStringLiteral("穩定點"), [displacement](int row) { return displacement(row).stable ? QStringLiteral("●") : QString(); },
       [displacement](int row) { return QVariant(displacement(row).stable ? 1 : 0); }},
  };
}

std::vector<ResultColumn> velocityColumns(const SharedDeformation& result) {
  auto velocity = [result](int row) -> const deformation::VelocityRow& { return result->velocities[row]; };
  return {
      {QStringLiteral("點名"), [result, velocity](int row) { return benchmarkName(*result, velocity(row).benchmark); }},
      countColumn(QStringLiteral("期數"), [velocity](int row) { return int(velocity(row).epochs.size()); }),
      quantityColumn(QStringLiteral("高程 (m)"), 4, [velocity](int row) { return velocity(row).heightM; },
                     QStringLiteral("首期日期的高程")),
      quantityColumn(QStringLiteral("速度 (mm/年)"), 2, [velocity](int row) { return velocity(row).velocityMmPerYear; },
                     QStringLiteral("正值上升，負值沉陷")),
      quantityColumn(QStringLiteral("σ (mm/年)"), 2, [velocity](int row) { return velocity(row).sigmaMmPerYear; }),
      quantityColumn(QStringLiteral("|t|"), 2, [velocity](int row) { return velocity(row).statistic; }),
      {QStringLiteral("分類"),
       [velocity](int row) {
         const deformation::VelocityRow& v = velocity(row);
         return (velocityFlagged(v) ? QString(kFailSymbol + QStringLiteral(" ")) : QString()) + velocityClassWords(v.kind);
       },
       [velocity](int row) { return QVariant(int(velocity(row).kind)); },
       [velocity](int row) {
         const deformation::VelocityRow& v = velocity(row);
         return v.kind == VelocityClass::NoVelocity ? std::nullopt : std::optional(!velocityFlagged(v));
       }},
      {QStringLiteral("說明"), [velocity](int row) { return text(velocity(row).note); }},
  };
}

}  // namespace korvane::shell
