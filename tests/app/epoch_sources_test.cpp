// The sources of a monitoring epoch: a DL-100C download, told from its content whatever its
// name, becomes a row per levelled section; a damaged one or one without sections is refused
// with its name and line.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/epoch_sources.h"
#include "convert/level/dl100c_data.h"
#include "input_error.h"

namespace {

namespace dl = korvane::testing::dl100c;

QString written(const QTemporaryDir& folder, const QString& name, const QString& text) {
  const QString path = folder.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.toLatin1());
  return path;
}

TEST(EpochSources, ADl100cDownloadGivesOneRowPerSection) {
  QTemporaryDir folder;
  const QString path = written(folder, "field.dat", dl::kHeader + dl::twoSectionLine() + dl::kEnd);
  const korvane::analysis::NetworkRows rows = korvane::app::readEpochSource(path);
  ASSERT_EQ(rows.observations.size(), 2u);
  const struct {
    const char* from;
    const char* to;
    double dh;
    double km;
    long line;
  } expected[] = {{"BM1", "TP1", 0.1313, 0.05032, 5}, {"TP1", "BM2", -1.11785, 0.05999, 9}};
  for (std::size_t i = 0; i < 2; ++i) {
    const korvane::analysis::ObservationRow& row = rows.observations[i];
    EXPECT_EQ(row.from, expected[i].from);
    EXPECT_EQ(row.to, expected[i].to);
    EXPECT_NEAR(row.dh, expected[i].dh, 1e-9);
    EXPECT_NEAR(row.distance, expected[i].km, 1e-9);
    EXPECT_EQ(row.row, expected[i].line);
  }
  EXPECT_EQ(rows.observationPlace, path.toStdString() + ", line ");
  EXPECT_TRUE(rows.knownPoints.empty());
}

TEST(EpochSources, ADamagedOrEmptyDownloadIsRefusedByName) {
  QTemporaryDir folder;
  const struct {
    const char* name;
    QString text;
    const char* message;
  } cases[] = {
      {"no sections.txt", dl::kHeader + dl::lineStart("JOB1", "BM1", "+02543210") + dl::kEnd,
       "a DL-100C download without any levelled section"},
      {"cut.txt", dl::kHeader + dl::twoSectionLine(), "cut.txt: "},
  };
  for (const auto& c : cases) {
    const QString path = written(folder, c.name, c.text);
    try {
      korvane::app::readEpochSource(path);
      ADD_FAILURE() << c.name;
    } catch (const korvane::analysis::InputError& error) {
      EXPECT_TRUE(std::string(error.what()).find(c.message) != std::string::npos) << c.name << ": " << error.what();
      EXPECT_EQ(std::string(error.what()).rfind(path.toStdString(), 0), 0u) << error.what();
    }
  }
}

}  // namespace
