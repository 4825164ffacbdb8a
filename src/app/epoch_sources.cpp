#include "app/epoch_sources.h"

#include <QFile>
#include <optional>

#include "app/analyse_sources.h"
#include "app/dl100c_rows.h"
#include "app/gkf_reader.h"
#include "convert/level/level_file.h"
#include "input_error.h"
#include "workbench/analysis_database.h"

namespace korvane::app {
namespace {

// The whole file when its first bytes are those of a DL-100C download, else nothing.
std::optional<QByteArray> dl100cDownload(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;  // readAnalysisFile says why
  const QByteArray start = file.read(4096);
  const std::string_view bytes(start.constData(), static_cast<std::size_t>(start.size()));
  if (convert::level::detectLevelFormat(bytes) != convert::level::LevelFormat::Dl100c) return std::nullopt;
  QByteArray all = start + file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw analysis::InputError("cannot read " + path.toStdString() + ": " + file.errorString().toStdString());
  return all;
}

}  // namespace

analysis::NetworkRows readEpochSource(const QString& source) {
  static const QString kDatabase = QStringLiteral("db:");
  if (source.startsWith(kDatabase)) {
    const QString path = source.mid(kDatabase.size());
    if (path.isEmpty()) throw analysis::InputError("db: needs the path of an adjustment database (db:PATH)");
    return workbench::readAnalysisDatabase(path);
  }
  if (source.isEmpty()) throw analysis::InputError("an epoch needs a source file");
  if (isGkfPath(source)) return readGkfFile(source).rows;
  if (std::optional<QByteArray> download = dl100cDownload(source)) return dl100cRows(*download, source.toStdString());
  return readAnalysisFile(source);
}

}  // namespace korvane::app
