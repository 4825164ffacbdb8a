// A conversion that finds no record of its kind converts nothing: the same rule for every entry of
// the conversion table, decided before the conversion runs (so no file is written either).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/failure.h"
#include "convert/conversion.h"
#include "fakes/recording_messages.h"
#include "qstring_printer.h"

namespace {

using korvane::convert::ConversionCommand;

const ConversionCommand& command(const QString& verb) {
  static const std::vector<ConversionCommand> commands = korvane::convert::allConversionCommands();
  const auto found = std::find_if(commands.begin(), commands.end(), [&](const ConversionCommand& c) { return c.verb == verb; });
  if (found == commands.end()) throw std::runtime_error("no verb " + verb.toStdString());
  return *found;
}

struct Case {
  const char* verb;
  QString text;
  bool holdsRecords;
  const char* why;
};

const QString kLevelEnd = QStringLiteral("Z,&,\r\n");

const Case kCases[] = {
    {"gts200-coord-yxz", QString(), false, "empty workspace"},
    {"gts200-coord-yxz", QStringLiteral("Job: LOT-12\r\nP1  2543210.123  187654.321\r\n"), false, "a GTS-600 printout"},
    {"gts200-coord-yxz", QStringLiteral("+P1_ x1000_ y2000_ z3000_"), true, "one point record"},
    {"gts200-coord-xyz", QStringLiteral("ab+123\x03\r\n\x02x1_"), false, "the only + is part of a block break"},
    {"gts200-coord-xyz", QStringLiteral("+\x03\r\n\x02P1_ x1_"), true, "a break that cannot be removed is the listing's to report"},
    {"gts200-obs", QStringLiteral("\x02_junk text without any record "), false, "tokens of no known kind"},
    {"gts200-obs", QStringLiteral("\x02_'S1_(ID_)1.5_+B1_ "), true, "a station record"},
    {"gts200-obs", QStringLiteral("\x02_xx<0900000d0000000dK123_*BS_,1.5_ "), false, "the kind letter must open the token"},
    {"gts200-cadastral", QStringLiteral("\x02_?000010000m0900000d1000000dm00010000_*X_,1_ "), true, "a slope-distance record"},
    {"gts200-cadastral", QStringLiteral("'S1_(ID_)1.5_+B1_ "), false, "the preamble runs up to the first underscore"},
    {"gts600-coord", QStringLiteral("Job: LOT-12\r\nPoint          North         East\r\n====\r\n"), false, "job line and heading only"},
    {"gts600-coord", QStringLiteral("P1             0000000.000    187654.321\r\n"), false, "a point line with north 0 is skipped"},
    {"gts600-coord", QStringLiteral("P1             2543210.123    187654.321"), true, "a point line"},
    {"gts600-cadastral", QStringLiteral("Job: LOT-12\r\n"), false, "a job line alone"},
    {"gts600-cadastral", QStringLiteral("Occ. Stn: A01\r\n"), true, "a station line"},
    {"gts600-cadastral", QStringLiteral("  FS      P101      HA: 123.4510\r\n"), true, "a sight line"},
    {"dl100c-report", kLevelEnd, false, "the End-of-data line alone"},
    {"dl100c-report", QStringLiteral("A,01,Z,\r\nt,00,\r\na,F8,\r\nu,00,\r\n") + kLevelEnd, false, "header, break and status records only"},
    {"dl100c-report", QStringLiteral("A,01,Z,\r\n") + kLevelEnd + QStringLiteral("g,00,+00123456,+0012345,\r\n"), false,
     "a record after the End-of-data line is not read"},
    {"dl100c-report", QStringLiteral("A,01,Z,\r\nj,00,+00123456,+0012345,\r\n") + kLevelEnd, true, "a foresight"},
    {"dl100c-report", QStringLiteral("A,01,Z,\r\n"), true, "no End-of-data line: the report says so"},
    {"dl100c-xlsx", QStringLiteral("A,01,Z,\r\nc,00,JOB2,    BM12,02444555,\r\n") + kLevelEnd, true, "a broken c record is the report's to describe"},
    {"dl100c-xlsx", QStringLiteral("A,01,Z,\r\nw,00,1,BM2,2,-00111785,\r\n") + kLevelEnd, true, "an end point"},
    {"dl100c-xlsx", QStringLiteral("B,01,BM1,\r\nC,00,TP1,\r\n") + kLevelEnd, false, "kinds B and C are not levelling records"},
};

TEST(ConversionRecords, EachKindKnowsWhetherTheTextHoldsItsRecords) {
  for (const Case& c : kCases) {
    const ConversionCommand& entry = command(QString::fromLatin1(c.verb));
    ASSERT_TRUE(entry.holdsRecords) << c.verb;
    EXPECT_EQ(entry.holdsRecords(c.text), c.holdsRecords) << c.verb << ": " << c.why;
  }
}

TEST(ConversionRecords, EveryMenuConversionNamesItsRecordsAndLooksForThem) {
  for (const ConversionCommand& entry : korvane::convert::allConversionCommands()) {
    if (entry.menuName.isEmpty()) continue;
    EXPECT_TRUE(entry.holdsRecords) << entry.verb.toStdString();
    EXPECT_FALSE(entry.records.isEmpty()) << entry.verb.toStdString();
  }
}

// Nothing converted, nothing written: not the workbook, not the scratch file, and the message
// names the records of that kind.
TEST(ConversionRecords, WithoutRecordsNothingIsConvertedOrWritten) {
  for (const char* verb : {"gts200-coord-yxz", "gts200-obs", "gts200-cadastral", "gts600-coord", "gts600-cadastral",
                           "dl100c-report", "dl100c-xlsx"}) {
    QTemporaryDir folder;
    korvane::testing::RecordingMessages messages;
    const QString workbook = folder.filePath("level.xlsx");
    korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, workbook, {}};
    const ConversionCommand& entry = command(QString::fromLatin1(verb));
    const korvane::convert::ConversionOutcome outcome =
        korvane::convert::runConversion(entry, QStringLiteral("A,01,Z,\r\nZ,&,\r\n"), environment);
    EXPECT_FALSE(outcome.text) << verb;
    EXPECT_EQ(outcome.noRecords, "資料中找不到 " + entry.records + "，沒有轉換任何資料。") << verb;
    EXPECT_TRUE(messages.shown.empty()) << verb;
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << verb << " wrote " << QDir(folder.path()).entryList().join(u' ').toStdString();
  }
}

TEST(ConversionRecords, WithRecordsTheConversionRunsAndItsFailuresReachTheCaller) {
  QTemporaryDir folder;
  korvane::testing::RecordingMessages messages;
  korvane::convert::ConversionEnvironment environment{messages, folder.path(), 10, {}, QString(), {}};
  const korvane::convert::ConversionOutcome outcome =
      korvane::convert::runConversion(command("gts200-coord-xyz"), QStringLiteral("+P1_ x1000_ y2000_ z3000_"), environment);
  EXPECT_TRUE(outcome.noRecords.isEmpty());
  EXPECT_EQ(outcome.text, std::optional<QString>(QStringLiteral("P1,2.000,1.000,3.000")));
  EXPECT_THROW(korvane::convert::runConversion(command("gts200-coord-xyz"), QStringLiteral("+P1_ x1000_ y20"), environment),
               korvane::Failure);
  // The L14 text says itself when it holds nothing to convert.
  EXPECT_THROW(korvane::convert::runConversion(command("l14"), QString(), environment), korvane::Failure);
}

}  // namespace
