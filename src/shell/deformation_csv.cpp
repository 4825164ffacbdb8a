#include "shell/deformation_csv.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include "common/failure.h"
#include "result_words.h"
#include "shell/deformation_columns.h"

namespace korvane::shell {
namespace {

using analysis::Quantity;

QString field(QString text) {
  if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r')) {
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + text + u'"';
  }
  return text;
}

QString text(const std::string& utf8) { return field(QString::fromStdString(utf8)); }
QString value(const Quantity& q, int decimals) { return q ? QString::number(*q, 'f', decimals) : QString(); }
QString value(double v, int decimals) { return QString::number(v, 'f', decimals); }
QString flag(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

class Table {
 public:
  explicit Table(const QStringList& header) { row(header); }
  void row(const QStringList& fields) { bytes_ += fields.join(u',').toUtf8() + "\r\n"; }
  QByteArray bytes() const { return QByteArray("\xEF\xBB\xBF") + bytes_; }

 private:
  QByteArray bytes_;
};

// Epoch numbers (1-based) separated by blanks.
QString epochList(const std::vector<int>& epochs) {
  QStringList list;
  for (int epoch : epochs) list << QString::number(epoch + 1);
  return list.join(u' ');
}

void write(const QByteArray& bytes, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
    throw Failure(QStringLiteral("無法寫入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

}  // namespace

QByteArray epochsCsv(const deformation::DeformationResult& result) {
  Table table({"epoch", "date", "year", "source", "observations", "benchmarks", "dof", "vtpv", "sigma0",
               "global_verdict", "variance_ratio", "variance_lower", "variance_upper", "variance_agrees",
               "flagged_observations"});
  for (int e = 0; e < int(result.epochs.size()); ++e) {
    const deformation::EpochResult& epoch = result.epochs[e];
    table.row({QString::number(e + 1), text(epoch.date), value(epoch.year, 4), text(epoch.source),
               QString::number(epoch.observations), QString::number(epoch.benchmarks), QString::number(epoch.dof),
               value(epoch.vtpv, 4), value(epoch.sigma0, 4),
               QString::fromStdString(std::string(analysis::wordFor(epoch.analysis.global.verdict))),
               value(epoch.varianceRatio, 4), value(epoch.varianceLower, 4), value(epoch.varianceUpper, 4),
               flag(epoch.varianceAgrees), QString::number(flaggedObservations(epoch))});
  }
  return table.bytes();
}

QByteArray displacementsCsv(const deformation::DeformationResult& result) {
  Table table({"from_epoch", "to_epoch", "from_date", "to_date", "benchmark", "displacement_mm", "sigma_mm", "t",
               "critical", "mdb_mm", "significant", "stable"});
  for (const deformation::EpochComparison& c : result.comparisons) {
    for (const deformation::DisplacementRow& d : c.displacements) {
      table.row({QString::number(c.from + 1), QString::number(c.to + 1), text(result.epochs[c.from].date),
                 text(result.epochs[c.to].date), text(result.benchmarks[d.benchmark]), value(d.displacementMm, 3),
                 value(d.sigmaMm, 3), value(d.statistic, 3), value(d.critical, 3), value(d.mdbMm, 3),
                 flag(d.significant), flag(d.stable)});
    }
  }
  return table.bytes();
}

QByteArray velocitiesCsv(const deformation::DeformationResult& result) {
  Table table({"benchmark", "epochs", "height_m", "height_sigma_mm", "velocity_mm_per_year", "sigma_mm_per_year", "t",
               "critical", "significant", "stable", "class", "note"});
  for (const deformation::VelocityRow& v : result.velocities) {
    table.row({text(result.benchmarks[v.benchmark]), epochList(v.epochs), value(v.heightM, 5),
               value(v.heightSigmaMm, 3), value(v.velocityMmPerYear, 3), value(v.sigmaMmPerYear, 3),
               value(v.statistic, 3), value(v.critical, 3), flag(v.significant), flag(v.stable),
               QString::fromLatin1(deformation::velocityClassName(v.kind)), text(v.note)});
  }
  return table.bytes();
}

void writeDeformationCsvFolder(const deformation::DeformationResult& result, const QString& folder) {
  if (!QDir().mkpath(folder)) throw Failure(QStringLiteral("無法建立資料夾 %1").arg(QDir::toNativeSeparators(folder)));
  const QDir dir(folder);
  write(epochsCsv(result), dir.filePath(QStringLiteral("epochs.csv")));
  write(displacementsCsv(result), dir.filePath(QStringLiteral("displacements.csv")));
  write(velocitiesCsv(result), dir.filePath(QStringLiteral("velocities.csv")));
}

}  // namespace korvane::shell
