#include "shell/analysis_words.h"

#include <QDir>

#include "output_file.h"

#include <QStringList>
#include <algorithm>

namespace korvane::shell {

QColor passColour() { return QColor(0x1b, 0x7a, 0x2e); }
QColor failColour() { return QColor(0xc0, 0x1c, 0x1c); }
QColor passBackground() { return QColor(0xe3, 0xf4, 0xe6); }
QColor failBackground() { return QColor(0xfb, 0xe1, 0xe1); }

QString closureMark(bool passes) {
  return passes ? kPassSymbol + QStringLiteral(" 合格") : kFailSymbol + QStringLiteral(" 超限");
}

QString closureKindName(analysis::ClosureKind kind) {
  switch (kind) {
    case analysis::ClosureKind::Loop:
      return QStringLiteral("環線");
    case analysis::ClosureKind::KnownLine:
      return QStringLiteral("已知點間路線");
    case analysis::ClosureKind::Repeat:
      return QStringLiteral("重複測量");
  }
  return {};
}

QString knownRoleName(analysis::KnownRole role) {
  switch (role) {
    case analysis::KnownRole::None:
      return QStringLiteral("新點");
    case analysis::KnownRole::Fixed:
      return QStringLiteral("已知點（固定）");
    case analysis::KnownRole::Weighted:
      return QStringLiteral("已知點（加權）");
    case analysis::KnownRole::Compared:
      return QStringLiteral("已知點（比較）");
  }
  return {};
}

QString globalVerdictText(analysis::GlobalVerdict verdict) {
  switch (verdict) {
    case analysis::GlobalVerdict::NotPossible:
      return QStringLiteral("無法檢定");
    case analysis::GlobalVerdict::Passes:
      return kPassSymbol + QStringLiteral(" 通過");
    case analysis::GlobalVerdict::TooLarge:
      return kFailSymbol + QStringLiteral(" 未通過：σ₀ 過大");
    case analysis::GlobalVerdict::TooSmall:
      return kFailSymbol + QStringLiteral(" 未通過：σ₀ 過小");
  }
  return {};
}

bool globalVerdictPasses(analysis::GlobalVerdict verdict) { return verdict == analysis::GlobalVerdict::Passes; }

QString stageName(const QString& stage) {
  static const QString kSnoopingStep = QStringLiteral("snooping step ");
  if (stage.startsWith(kSnoopingStep)) return QStringLiteral("資料探測第 %1 步").arg(stage.mid(kSnoopingStep.size()));
  if (stage == QStringLiteral("reading")) return QStringLiteral("讀取平差資料庫");
  if (stage == QStringLiteral("checks")) return QStringLiteral("平差前檢核");
  if (stage == QStringLiteral("ordering")) return QStringLiteral("排序法方程式");
  if (stage == QStringLiteral("adjustment")) return QStringLiteral("平差");
  if (stage == QStringLiteral("statistics")) return QStringLiteral("統計檢定");
  if (stage == QStringLiteral("done")) return QStringLiteral("完成");
  return stage;
}

QString toleranceClassName(std::string_view name) {
  static const std::pair<std::string_view, const char16_t*> kNames[] = {
      {"first-I", u"一等一級"}, {"first-II", u"一等二級"}, {"second-I", u"二等一級"},
      {"second-II", u"二等二級"}, {"third", u"三等"}};
  for (const auto& [key, words] : kNames) {
    if (key == name) return QString::fromUtf16(words);
  }
  return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString number(const analysis::Quantity& value, int decimals) {
  return value ? number(*value, decimals) : kNoValue;
}

QString number(double value, int decimals) {
  QString text = QString::number(value, 'f', decimals);
  // No "-0.00".
  if (text.startsWith(u'-') &&
      std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) { return c == u'0' || c == u'.'; })) {
    text.remove(0, 1);
  }
  return text;
}

QString walkText(const analysis::AnalysisResult& result, const std::vector<int>& points, int most) {
  QStringList names;
  for (int i = 0; i < int(points.size()); ++i) {
    if (i == most - 1 && int(points.size()) > most) {
      names << QStringLiteral("…（共 %1 點）").arg(points.size()) << QString::fromStdString(result.points[points.back()].name);
      break;
    }
    names << QString::fromStdString(result.points[points[i]].name);
  }
  return names.join(QStringLiteral(" → "));
}

QString nameList(const analysis::AnalysisResult& result, const std::vector<int>& points, int most) {
  QStringList names;
  for (int i = 0; i < int(points.size()) && i < most; ++i) names << QString::fromStdString(result.points[points[i]].name);
  QString text = names.join(QStringLiteral(", "));
  if (int(points.size()) > most) text += QStringLiteral(", …（共 %1 點）").arg(points.size());
  return text;
}

QString observationText(const analysis::AnalysisResult& result, int observation) {
  const analysis::ObservationResult& o = result.observations[observation];
  return QString::fromStdString(result.points[o.from].name) + QStringLiteral(" → ") +
         QString::fromStdString(result.points[o.to].name);
}

bool observationFails(const analysis::ObservationResult& observation) {
  return observation.removedAtStep == 0 && observation.flagged();
}

bool observationTested(const analysis::ObservationResult& observation) {
  return observation.test.w.has_value() || observation.test.tau.has_value();
}

QString observationMark(const analysis::ObservationResult& observation) {
  if (observation.removedAtStep > 0) return kFailSymbol + QStringLiteral(" 移除（第 %1 步）").arg(observation.removedAtStep);
  if (!observation.test.controlled) return QStringLiteral("未受檢核");
  if (!observationTested(observation)) return QStringLiteral("— 無法檢定");
  if (!observation.flagged()) return kPassSymbol;
  QString mark = kFailSymbol;
  if (observation.test.wFails) mark += QStringLiteral(" w");
  if (observation.test.tauFails) mark += QStringLiteral(" τ");
  return mark;
}

// Why a result file could not be written, in the window's words.
namespace {

QString causeText(const analysis::OutputFileFailure& failure) {
  if (!failure.cause) {
    return failure.folder ? QStringLiteral("有同名的檔案擋住") : QStringLiteral("磁碟拒絕寫入資料（可能已滿）");
  }
  if (failure.cause.category() == std::generic_category() || failure.cause.category() == std::system_category()) {
    switch (static_cast<std::errc>(failure.cause.value())) {
      case std::errc::permission_denied:
      case std::errc::operation_not_permitted:
        return QStringLiteral("沒有寫入的權限");
      case std::errc::no_such_file_or_directory:
        return QStringLiteral("所在的資料夾不存在");
      case std::errc::not_a_directory:
      case std::errc::file_exists:
        return QStringLiteral("有同名的檔案擋住");
      case std::errc::is_a_directory:
        return QStringLiteral("有同名的資料夾擋住");
      case std::errc::no_space_on_device:
        return QStringLiteral("磁碟已滿");
      case std::errc::read_only_file_system:
        return QStringLiteral("磁碟是唯讀的");
      case std::errc::filename_too_long:
        return QStringLiteral("檔名太長");
      case std::errc::device_or_resource_busy:
      case std::errc::text_file_busy:
        return QStringLiteral("檔案正被其他程式使用");
      default:
        break;
    }
  }
  return QStringLiteral("系統錯誤碼 %1").arg(failure.cause.value());
}

}  // namespace

QString writeFailureText(const analysis::OutputFileFailure& failure) {
  const QString path = QString::fromStdU16String(failure.path.u16string());
  return (failure.folder ? QStringLiteral("無法建立資料夾 %1：%2") : QStringLiteral("無法寫入 %1：%2"))
      .arg(QDir::toNativeSeparators(path), causeText(failure));
}

}  // namespace korvane::shell
