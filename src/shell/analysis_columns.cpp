#include "shell/analysis_columns.h"

#include <cmath>

#include "result_words.h"
#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

using analysis::AnalysisResult;
using analysis::Quantity;

QString name(const AnalysisResult& result, int point) { return QString::fromStdString(result.points[point].name); }

QVariant magnitude(const Quantity& value) { return sortNumber(value ? std::optional(std::abs(*value)) : std::nullopt); }
QVariant plain(const Quantity& value) { return sortNumber(value ? std::optional(*value) : std::nullopt); }

const QString kByMagnitude = QStringLiteral("依絕對值排序");

// A column of a number that may be missing, shown with `decimals`, sorted by its value (or by
// its magnitude, the largest first).
template <class Get>
ResultColumn quantityColumn(const QString& header, int decimals, Get get, bool byMagnitude = false,
                            const QString& toolTip = {}) {
  return {header, [get, decimals](int row) { return number(get(row), decimals); },
          [get, byMagnitude](int row) { return byMagnitude ? magnitude(get(row)) : plain(get(row)); }, {}, true,
          byMagnitude ? (toolTip.isEmpty() ? kByMagnitude : toolTip + QStringLiteral("；") + kByMagnitude) : toolTip,
          byMagnitude};
}

// A column of whole numbers.
template <class Get>
ResultColumn countColumn(const QString& header, Get get) {
  return {header, [get](int row) { return QString::number(get(row)); }, [get](int row) { return QVariant(double(get(row))); },
          {}, true};
}

}  // namespace

std::vector<const analysis::ClosureCheck*> closureRows(const AnalysisResult& result) {
  std::vector<const analysis::ClosureCheck*> rows;
  for (const auto* list : {&result.checks.loops, &result.checks.knownLines, &result.checks.repeats}) {
    for (const analysis::ClosureCheck& check : *list) rows.push_back(&check);
  }
  return rows;
}

bool partFails(const AnalysisResult& result, int part) {
  return !result.checks.parts[part].hasDatum;
}

bool pointFails(const AnalysisResult& result, int point) {
  const analysis::PointResult& p = result.points[point];
  return p.status == analysis::HeightStatus::NoDatum || p.removedAtStep > 0 ||
         (p.knownTest && p.knownTest->fails);
}

std::vector<ResultColumn> partColumns(const SharedResult& result) {
  auto parts = [result](int row) -> const analysis::PartCheck& { return result->checks.parts[row]; };
  return {
      countColumn(QStringLiteral("部分"), [](int row) { return row + 1; }),
      countColumn(QStringLiteral("點數"), [parts](int row) { return int(parts(row).points.size()); }),
      countColumn(QStringLiteral("觀測數"), [parts](int row) { return parts(row).observations; }),
      {QStringLiteral("已知點"), [result](int row) { return nameList(*result, result->checks.parts[row].knownPoints); }},
      {QStringLiteral("高程基準"),
       [result](int row) {
         if (result->checks.parts[row].hasDatum)
           return kPassSymbol + (result->options.freeNetwork ? QStringLiteral(" 自由網（已知點基準）") : QStringLiteral(" 有已知點"));
         return kFailSymbol + QStringLiteral(" 無已知點：") + nameList(*result, result->checks.parts[row].points, 8);
       },
       {}, [result](int row) { return std::optional(!partFails(*result, row)); }},
  };
}

std::vector<ResultColumn> closureColumns(const SharedResult& result, std::vector<const analysis::ClosureCheck*> rows) {
  auto shared = std::make_shared<const std::vector<const analysis::ClosureCheck*>>(std::move(rows));
  auto check = [shared](int row) -> const analysis::ClosureCheck& { return *(*shared)[row]; };
  return {
      {QStringLiteral("種類"), [check](int row) { return closureKindName(check(row).kind); }},
      {QStringLiteral("判定"), [check](int row) { return closureMark(check(row).passes); },
       [check](int row) { return QVariant(check(row).passes ? 1 : 0); },
       [check](int row) { return std::optional(check(row).passes); }},
      quantityColumn(QStringLiteral("閉合差 (mm)"), 2, [check](int row) { return Quantity(check(row).misclosureMm); }, true),
      quantityColumn(QStringLiteral("長度 K (km)"), 3, [check](int row) { return Quantity(check(row).lengthKm); }),
      quantityColumn(QStringLiteral("限值 k√K (mm)"), 2, [check](int row) { return Quantity(check(row).toleranceMm); }),
      {QStringLiteral("路線"), [result, check](int row) { return walkText(*result, check(row).points); }},
  };
}

std::vector<ResultColumn> pointColumns(const SharedResult& result) {
  auto points = [result](int row) -> const analysis::PointResult& { return result->points[row]; };
  const bool free = result->options.freeNetwork;
  std::vector<ResultColumn> columns = {
      {QStringLiteral("點號"), [result](int row) { return name(*result, row); }},
      {QStringLiteral("種類"), [points](int row) { return knownRoleName(points(row).known); }},
      {QStringLiteral("判定"),
                     [result](int row) {
                       const analysis::PointResult& p = result->points[row];
                       if (p.status == analysis::HeightStatus::NoDatum) return kFailSymbol + QStringLiteral(" 無高程基準");
                       if (p.removedAtStep > 0)
                         return kFailSymbol + QStringLiteral(" 已知高程移除（第 %1 步）").arg(p.removedAtStep);
                       if (pointFails(*result, row)) return kFailSymbol + QStringLiteral(" 已知高程檢定未過");
                       return p.status == analysis::HeightStatus::Held ? kPassSymbol + QStringLiteral(" 固定")
                                                                       : kPassSymbol;
                     },
                     [result](int row) { return QVariant(pointFails(*result, row) ? 0 : 1); },
                     [result](int row) { return std::optional(!pointFails(*result, row)); }},
      countColumn(QStringLiteral("部分"), [points](int row) { return points(row).part + 1; }),
      quantityColumn(QStringLiteral("平差高程 (m)"), 5, [points](int row) { return points(row).height; }),
      quantityColumn(QStringLiteral("σ (mm)"), 2, [points](int row) { return points(row).sigma; }, false,
                     QStringLiteral("由後驗 σ₀ 算得")),
      quantityColumn(QStringLiteral("已知高程 (m)"), 5, [points](int row) { return points(row).givenHeight; }),
      quantityColumn(QStringLiteral("已知 σ (mm)"), 2, [points](int row) {
        return points(row).givenSigma ? Quantity(*points(row).givenSigma * 1000.0) : Quantity();
      }),
  };
  if (free) {
    columns.push_back(quantityColumn(QStringLiteral("與已知高程差 (mm)"), 2,
                                     [points](int row) { return points(row).freeOffset; }, true,
                                     QStringLiteral("平差高程減已知高程，扣除該部分已知點的平均差")));
  }
  return columns;
}

std::vector<ResultColumn> observationColumns(const SharedResult& result) {
  auto obs = [result](int row) -> const analysis::ObservationResult& { return result->observations[row]; };
  auto test = [obs](int row) -> const analysis::ObservationTest& { return obs(row).test; };
  const int mostLikely = analysis::mostLikelyError(*result).value_or(-1);
  return {
      countColumn(QStringLiteral("資料列"), [obs](int row) { return int(obs(row).row); }),
      {QStringLiteral("起點"), [result, obs](int row) { return name(*result, obs(row).from); }},
      {QStringLiteral("終點"), [result, obs](int row) { return name(*result, obs(row).to); }},
      {QStringLiteral("判定"),
       [obs, mostLikely](int row) {
         return observationMark(obs(row)) + (row == mostLikely ? QStringLiteral("：") + kMostLikelyError : QString());
       },
       [obs](int row) { return QVariant(obs(row).removedAtStep > 0 ? -1 : observationFails(obs(row)) ? 0 : 1); },
       [obs](int row) -> std::optional<bool> {
         if (obs(row).removedAtStep == 0 && !obs(row).test.controlled) return std::nullopt;
         return !observationFails(obs(row)) && obs(row).removedAtStep == 0;
       }},
      quantityColumn(QStringLiteral("高差 (m)"), 5, [obs](int row) { return Quantity(obs(row).dh); }),
      quantityColumn(QStringLiteral("距離"), 3, [obs](int row) { return Quantity(obs(row).distance); }),
      quantityColumn(QStringLiteral("殘差 v (mm)"), 2, [test](int row) { return test(row).residual; }, true),
      quantityColumn(QStringLiteral("r"), 3, [test](int row) { return test(row).redundancy; }, false,
                     QStringLiteral("多餘觀測分量")),
      quantityColumn(QStringLiteral("w"), 2, [test](int row) { return test(row).w; }, true,
                     QStringLiteral("Baarda w（先驗 σ₀）")),
      quantityColumn(QStringLiteral("τ"), 2, [test](int row) { return test(row).tau; }, true,
                     QStringLiteral("Pope τ（後驗 σ₀）")),
      quantityColumn(QStringLiteral("MDB (mm)"), 2, [test](int row) { return test(row).mdb; }, false,
                     QStringLiteral("最小可偵測偏差")),
      quantityColumn(QStringLiteral("MDB 影響 (mm)"), 2, [test](int row) { return test(row).mdbEffect; }, false,
                     QStringLiteral("MDB 對高程的最大影響")),
      quantityColumn(QStringLiteral("粗差估值 (mm)"), 2, [test](int row) { return test(row).grossError; }, true),
  };
}

std::vector<int> observationFirstOrder(const analysis::AnalysisResult& result) {
  std::vector<int> place(result.observations.size(), -1);
  int next = 0;
  for (const int i : analysis::flaggedByTestSize(result)) place[i] = next++;
  for (int& p : place) {
    if (p < 0) p = next++;
  }
  return place;
}

std::vector<ResultColumn> snoopingColumns(const SharedResult& result) {
  auto steps = [result](int row) -> const analysis::SnoopStep& { return result->snooping[row]; };
  return {
      countColumn(QStringLiteral("步驟"), [steps](int row) { return steps(row).step; }),
      {QStringLiteral("移除"),
       [result, steps](int row) {
         const analysis::EquationRef& removed = steps(row).removed;
         if (removed.knownHeight) return QStringLiteral("已知點 %1 的高程").arg(name(*result, removed.index));
         return QStringLiteral("觀測 %1（第 %2 列）")
             .arg(observationText(*result, removed.index))
             .arg(result->observations[removed.index].row);
       }},
      {QStringLiteral("統計量"),
       [steps](int row) {
         return QStringLiteral("%1 = %2 > %3")
             .arg(steps(row).statisticName == "tau" ? QStringLiteral("τ") : QStringLiteral("w"),
                  number(steps(row).statistic, 2), number(steps(row).critical, 2));
       },
       [steps](int row) { return QVariant(std::abs(steps(row).statistic)); }},
      countColumn(QStringLiteral("自由度"), [steps](int row) { return steps(row).dof; }),
      quantityColumn(QStringLiteral("後驗 σ₀"), 3, [steps](int row) { return steps(row).sigma0Posterior; }),
      quantityColumn(QStringLiteral("與最後平差之差 (mm)"), 2, [steps](int row) { return steps(row).misfit; }, true),
      {QStringLiteral("再納入檢定"),
       [steps](int row) {
         const analysis::SnoopStep& s = steps(row);
         // The test is two-sided: the statistic's magnitude against the critical value.
         const analysis::Quantity magnitude =
             s.readmissionStatistic ? analysis::Quantity(std::abs(*s.readmissionStatistic)) : analysis::Quantity();
         const QString figures = QStringLiteral("|t| = ") + number(magnitude, 2) +
                                 (s.readmissible ? QStringLiteral(" ≤ ") : QStringLiteral(" > ")) +
                                 number(s.readmissionCritical, 2);
         return (s.readmissible ? kPassSymbol + QStringLiteral(" 可再納入：") : kFailSymbol + QStringLiteral(" 維持移除：")) +
                figures;
       },
       [steps](int row) { return QVariant(steps(row).readmissible ? 1 : 0); },
       [steps](int row) { return std::optional(steps(row).readmissible); }},
  };
}

}  // namespace korvane::shell
