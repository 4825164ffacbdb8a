#include "app/level_line_rows.h"

#include "common/failure.h"
#include "convert/level/level_file.h"
#include "input_error.h"

namespace korvane::app {

std::optional<analysis::NetworkRows> levelLineRows(const QByteArray& bytes, const std::string& name) {
  using namespace convert::level;
  const std::string_view raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const LevelFormat format = detectLevelFormat(raw.substr(0, 4096));
  if (format != LevelFormat::Gsi && format != LevelFormat::M5) return std::nullopt;
  std::vector<LevelLine> lines;
  try {
    lines = readLevelLines(raw, format, QString::fromStdString(name));
  } catch (const Failure& failure) {
    throw analysis::InputError(failure.description().toStdString());
  }
  analysis::NetworkRows rows;
  rows.title = name;
  rows.sourceName = name;
  rows.observationPlace = rows.knownPointPlace = name + ", line ";
  for (const LevelLine& line : lines) {
    rows.observations.push_back({line.start.trimmed().toStdString(), line.end.trimmed().toStdString(), line.dh,
                                 line.length / 1000, 0.0, line.fileLine});
  }
  return rows;
}

}  // namespace korvane::app
