#include "shell/analysis_summary.h"

#include <algorithm>
#include <cmath>

#include "chinese_sentences.h"
#include "result_words.h"
#include "shell/analysis_columns.h"
#include "shell/analysis_words.h"

namespace korvane::shell {
namespace {

using analysis::AnalysisResult;

QString percent(double share) { return QString::number(100.0 * share, 'g', 4) + QStringLiteral(" %"); }

// A level that may lie below the smallest double (the B-method in a large network).
QString levelText(double share) { return share > 0.0 ? percent(share) : QStringLiteral("< 1e-300 %"); }

QString sigma0Unit(const AnalysisResult& result) {
  return result.weighting == analysis::Weighting::Distance ? QStringLiteral(" mm/√km") : QString();
}

void addGlobal(QStringList& lines, const analysis::GlobalTest& test, const AnalysisResult& result, const QString& lead) {
  lines << lead + QStringLiteral("後驗 σ₀ = %1%2（先驗 %3），自由度 %4")
                      .arg(number(test.sigma0Posterior, 3), sigma0Unit(result),
                           test.sigma0Apriori ? number(test.sigma0Apriori, 3) : QStringLiteral("未給定"))
                      .arg(test.dof);
  if (test.verdict == analysis::GlobalVerdict::NotPossible) {
    lines << lead + QStringLiteral("整體檢定：無法檢定（%1）").arg(QString::fromStdString(analysis::inChinese(test.reason)));
    return;
  }
  lines << lead + QStringLiteral("整體檢定（χ², α = %1）：vᵀPv/σ₀² = %2，接受區間 %3 至 %4：%5")
                      .arg(percent(result.options.alpha), number(test.statistic, 3), number(test.lower, 3),
                           number(test.upper, 3), globalVerdictText(test.verdict));
}

// "✘ 最可能的粗差：觀測 C → D（第 5 列），|w| = 7.83 > 3.29", or empty when nothing is flagged.
QString mostLikelyErrorLine(const AnalysisResult& result) {
  const std::optional<int> most = analysis::mostLikelyError(result);
  if (!most) return {};
  const bool byW = analysis::decidingStatistic(result) == "w";
  return QStringLiteral("%1 %2：觀測 %3（第 %4 列），|%5| = %6 > %7")
      .arg(kFailSymbol, kMostLikelyError, observationText(result, *most))
      .arg(result.observations[*most].row)
      .arg(byW ? QStringLiteral("w") : QStringLiteral("τ"),
           number(analysis::decidingSize(result, result.observations[*most].test).value_or(0.0), 2),
           byW ? number(result.levels.wCritical, 2) : number(result.levels.tauCritical, 2));
}

}  // namespace

QStringList checkLines(const AnalysisResult& result) {
  QStringList lines;
  const analysis::AnalysisOptions& o = result.options;
  QString tolerance = QStringLiteral("閉合差限值 %1 mm × √K（K：路線長 km）").arg(QString::number(o.toleranceK, 'g', 6));
  if (!o.toleranceClass.empty()) tolerance += QStringLiteral("，%1水準").arg(toleranceClassName(o.toleranceClass));
  lines << tolerance;
  int loops = 0, failing = 0;
  for (const analysis::ClosureCheck* check : closureRows(result)) {
    ++loops;
    failing += !check->passes;
  }
  lines << (failing == 0 ? QStringLiteral("%1 項閉合差檢核 %2 全部合格").arg(loops).arg(kPassSymbol)
                         : QStringLiteral("%1 項閉合差檢核，%2 %3 項超限").arg(loops).arg(kFailSymbol).arg(failing));
  for (const analysis::NameFinding& finding : result.checks.names) {
    const QString names = nameList(result, finding.points);
    switch (finding.kind) {
      case analysis::NameFinding::Kind::MergedByEightColumns:
        lines << QStringLiteral("點名 %1 前八字相同（「%2」）：tarnex 會當成同一點")
                     .arg(names, QString::fromStdString(finding.classicName));
        break;
      case analysis::NameFinding::Kind::KnownNameBeyondEight:
        lines << QStringLiteral("已知點 %1 超過八字：tarnex 不會把任何觀測接到它").arg(names);
        break;
      case analysis::NameFinding::Kind::TooLongForEngineFile:
        lines << QStringLiteral("點名 %1 超過十字：放不進平差檔的欄位").arg(names);
        break;
    }
  }
  for (const std::string& note : result.notes) {
    lines << QStringLiteral("註：") + QString::fromStdString(analysis::inChinese(note));
  }
  if (std::any_of(result.observations.begin(), result.observations.end(), [](const analysis::ObservationResult& o) {
        return std::abs(o.distance * 1000.0 - std::round(o.distance * 1000.0)) > 1e-6;
      })) {
    lines << kWholeMetreNote;
  }
  return lines;
}

QStringList globalTestLines(const AnalysisResult& result) {
  QStringList lines;
  lines << QStringLiteral("%1 定權；未知數 %2%3，方程式 %4")
               .arg(result.weighting == analysis::Weighting::Grade ? QStringLiteral("等級") : QStringLiteral("距離"))
               .arg(result.unknowns)
               .arg(result.datumDefect > 0 ? QStringLiteral("（基準虧秩 %1）").arg(result.datumDefect) : QString())
               .arg(result.equations);
  addGlobal(lines, result.global, result, QString());
  if (result.globalBeforeSnooping) {
    addGlobal(lines, *result.globalBeforeSnooping, result, QStringLiteral("資料探測前："));
  }
  if (const QString most = mostLikelyErrorLine(result); !most.isEmpty()) lines << most;
  return lines;
}

QStringList observationTestLines(const AnalysisResult& result) {
  const analysis::AnalysisOptions& o = result.options;
  QStringList lines;
  // One statistic decides: w with an a-priori sigma0, else tau; snooping removes by the same.
  const bool byW = result.global.sigma0Apriori.has_value();
  QString rule;
  if (o.alpha0Rule == analysis::LocalLevelRule::BMethod) rule = QStringLiteral("，由 B 法自整體檢定 α = %1 導出").arg(percent(o.alpha));
  if (o.alpha0Rule == analysis::LocalLevelRule::FamilyWise) rule = QStringLiteral("，全部檢定合計 α = %1").arg(percent(o.alpha));
  lines << QStringLiteral("觀測檢定（α₀ = %1%2，檢定力 %3）：%4 為未過；MDB 用%5 σ₀")
               .arg(levelText(result.levels.alpha0), rule, percent(o.power),
                    byW ? QStringLiteral("|w| > %1").arg(number(result.levels.wCritical, 2))
                        : QStringLiteral("|τ| > %1").arg(number(result.levels.tauCritical, 2)),
                    result.mdbSigma0 == "a-priori" ? QStringLiteral("先驗") : QStringLiteral("後驗"));
  if (o.snoop) {
    const QString how = QStringLiteral("依 %1，%2").arg(byW ? QStringLiteral("w") : QStringLiteral("τ"),
                                                       o.snoopStop == analysis::SnoopStop::GlobalTestPasses
                                                           ? QStringLiteral("到整體檢定通過為止")
                                                           : QStringLiteral("到沒有觀測未過為止"));
    lines << (result.snooping.empty() ? QStringLiteral("資料探測（%1）：沒有移除任何觀測").arg(how)
                                      : QStringLiteral("資料探測（%1）：依序移除 %2 個（見下表）").arg(how).arg(result.snooping.size()));
  }
  if (const QString most = mostLikelyErrorLine(result); !most.isEmpty()) lines << most + QStringLiteral("（表中第一列）");
  return lines;
}

// Why no observation could be tested: w needs an a-priori σ₀, τ two degrees of freedom.
QString untestedReason(const AnalysisResult& result) {
  if (result.global.dof < 1) return QStringLiteral("沒有多餘觀測");
  return QStringLiteral("沒有先驗 σ₀ 不能算 w，自由度 %1 不足以算 τ").arg(result.global.dof);
}

QString outcomeLine(const AnalysisResult& result) {
  int failingClosures = 0;
  for (const analysis::ClosureCheck* check : closureRows(result)) failingClosures += !check->passes;
  const int flagged = int(std::count_if(result.observations.begin(), result.observations.end(),
                                        [](const analysis::ObservationResult& o) { return observationFails(o); }));
  QStringList parts;
  parts << QStringLiteral("%1 點、%2 觀測").arg(result.points.size()).arg(result.observations.size());
  parts << (failingClosures == 0 ? QStringLiteral("閉合差 %1 全部合格").arg(kPassSymbol)
                                 : QStringLiteral("閉合差 %1 %2 項超限").arg(kFailSymbol).arg(failingClosures));
  const int tested = int(std::count_if(result.observations.begin(), result.observations.end(),
                                       [](const analysis::ObservationResult& o) {
                                         return o.removedAtStep == 0 && o.test.controlled && observationTested(o);
                                       }));
  if (flagged > 0)
    parts << QStringLiteral("%1 %2 個觀測檢定未過（%3 %4）")
                 .arg(kFailSymbol)
                 .arg(flagged)
                 .arg(kMostLikelyError, observationText(result, analysis::mostLikelyError(result).value_or(0)));
  else if (tested == 0)
    parts << QStringLiteral("觀測檢定 — 無法檢定（%1）").arg(untestedReason(result));
  else
    parts << QStringLiteral("觀測檢定 %1 全部通過").arg(kPassSymbol);
  if (!result.snooping.empty()) parts << QStringLiteral("資料探測移除 %1 個").arg(result.snooping.size());
  parts << QStringLiteral("整體檢定 ") + globalVerdictText(result.global.verdict);
  return parts.join(QStringLiteral("；"));
}

namespace {

QString inChinese(const QString& failure) {
  return QString::fromStdString(analysis::failureInChinese(failure.toStdString()));
}

}  // namespace

QString describeProblem(const workbench::NetworkAnalysisOutcome& outcome, const analysis::AnalysisOptions& options) {
  using Kind = workbench::NetworkAnalysisOutcome::Kind;
  QString text;
  switch (outcome.kind) {
    case Kind::BadInput:
      text = QStringLiteral("平差資料庫的資料有誤，無法分析：\n") + inChinese(outcome.problem);
      break;
    case Kind::UnusableNetwork:
      text = QStringLiteral("這個網形無法平差：\n") + inChinese(outcome.problem);
      if (!options.freeNetwork && outcome.problem.contains(QStringLiteral("datum"))) {
        text += QStringLiteral("\n\n請在「已知點資料」加入已知點，或勾選「自由網」做不用已知點的平差。");
      }
      break;
    case Kind::Cancelled:
      text = QStringLiteral("分析已取消。按「重新計算」再算一次。");
      break;
    case Kind::Done:
      break;
  }
  if (!outcome.names.isEmpty()) {
    text += QStringLiteral("\n\n相關點號（%1 點）：\n").arg(outcome.names.size()) + outcome.names.join(QStringLiteral(", "));
  }
  return text;
}

}  // namespace korvane::shell
