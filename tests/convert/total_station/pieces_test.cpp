// Every conversion that `korvane convert` runs piece by piece gives, for text cut anywhere (in
// lines, records, CR LF pairs, block breaks and Chinese characters), what it gives for the whole
// text: the same result, the same messages, the same failure.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/failure.h"
#include "convert/conversion.h"
#include "convert/conversion_streams.h"
#include "convert/level/dl100c_data.h"
#include "fakes/recording_messages.h"
#include "gts200_download.h"
#include "gts200_sample.h"
#include "gts600_printout.h"

namespace {

using korvane::convert::ConversionCommand;
using korvane::convert::ConversionEnvironment;
using korvane::convert::StringSink;

struct Outcome {
  QString result;
  QStringList messages;
  QString failure;
};

// The whole text through the command's own converter.
Outcome whole(const ConversionCommand& command, const QString& text) {
  QTemporaryDir folder;
  korvane::testing::RecordingMessages messages;
  ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  Outcome outcome;
  try {
    outcome.result = command.convert(text, environment).value_or(QStringLiteral("<none>"));
  } catch (const korvane::Failure& failure) {
    outcome.failure = failure.description();
  }
  outcome.messages = messages.texts();
  return outcome;
}

// The text in pieces of `size` characters through the command's stream.
Outcome inPieces(const ConversionCommand& command, const QString& text, qsizetype size) {
  QTemporaryDir folder;
  korvane::testing::RecordingMessages messages;
  ConversionEnvironment environment{messages, folder.path(), 10, {}, {}, {}};
  StringSink sink;
  Outcome outcome;
  try {
    const auto conversion = korvane::convert::streamFor(command.verb)(environment, sink);
    for (qsizetype at = 0; at < text.size(); at += size) conversion->read(QStringView(text).mid(at, size));
    conversion->finish();
    outcome.result = sink.take();
  } catch (const korvane::Failure& failure) {
    outcome.failure = failure.description();
  }
  outcome.messages = messages.texts();
  // A report that failed through a message box has no result on either face.
  if (!outcome.messages.isEmpty() && outcome.failure.isEmpty() && command.verb == u"dl100c-report" &&
      whole(command, text).result == u"<none>") {
    outcome.result = QStringLiteral("<none>");
  }
  return outcome;
}

const QString kGts200Observations = korvane::testing::gts200Download(korvane::testing::gts200Records(QStringLiteral("PRE\r\n")));

const QString kDl100c = [] {
  using namespace korvane::testing::dl100c;
  return QStringLiteral("  ") + kHeader + twoSectionLine() + QStringLiteral("t,00,\r\n") +
         lineStart("JOB2", "水準點一", "+02543210", "F8") + sight("k", "中點", "+00150000", "+0015000", "+00000000", "I7") +
         kEnd + QStringLiteral("after the end\r\n");
}();

struct Sample {
  const char* verb;
  QString text;
};

const Sample kSamples[] = {
    {"gts200-obs", kGts200Observations},
    {"gts200-obs", QStringLiteral("no preamble <0900000d0000000dK123_*B\x04S_,1.5_+P1_ 'S1_(ID_)1.5_+B1_ ?ZZ_ tail")},
    {"gts200-cadastral", kGts200Observations},
    {"gts200-cadastral", QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_+P1'S1_(ID_)1.5_+B1_ R000010000m0900000d1e999xxdm1_*X_,1_ ")},
    {"gts200-coord-yxz", korvane::testing::gts200Download(QStringLiteral("_+P01_ x0002501234_ y0001876543_ z0000012345_+P02_ 5_ y6_ z7_+P03_ x1_ y2_ z3_"))},
    {"gts200-coord-xyz", korvane::testing::gts200Download(QStringLiteral("_+P01_ x0002501234_ y0001876543_ z0000012345_+P02_ x1_ y"))},
    {"gts200-coord-xyz", QStringLiteral("+P1_ x1_ y2_ z3_+P2_ x1_ y2_ z3_") + korvane::testing::blockBreak().chopped(1)},
    {"gts600-coord", QStringLiteral("Job: 一\r\nPoint          North         East\r\n====\n") +
                         korvane::testing::coordinateLine("P1", "2543210.123", "187654.321", "1.5") + QStringLiteral("\r") +
                         korvane::testing::coordinateLine("P2", "0", "1", "1") + QStringLiteral("\n\r") +
                         korvane::testing::coordinateLine("P3", "3.25", "-4", "1") + QStringLiteral("\r\n")},
    {"gts600-cadastral", QStringLiteral("Job: A\r\nOcc. Stn: A01\r\nBacksight Point:  B02\r\n") +
                             korvane::testing::sightLine("SS", "P1", "1.0000", "12.5") + QStringLiteral("\r\nJob: B\r\nOcc. Stn: A02\r\n") +
                             korvane::testing::sightLine("FS", "P2", "2.0000", "1e999")},
    {"gts600-cadastral", QStringLiteral("Job: A\r\nOcc. Stn: A01\r\nBacksight Point:  B02\r\n") +
                             korvane::testing::sightLine("SS", "點一", "1.0000", "12.5") + QStringLiteral("\r\nJob: B\r\n") +
                             korvane::testing::sightLine("FS", "P2", "2.0000", "3")},
    {"dl100c-report", kDl100c},
    {"dl100c-report", QStringLiteral("A,01,Z,\r\nb,00,J,BM,+1,\r\nZ,&,\r")},
    {"l14", QStringLiteral("PAGE 1\r\nP1 2543210.123 187654.321\r  P2   2543211.5  187655.25  P3 1 2\r\n點一 3 4\r\n\r\n  \r\n")},
    {"l14", QStringLiteral("P1 10 20\r\n\r\nP2 30 40\r\n")},
    {"l14", QStringLiteral("P1 10 20\nP2 30 40\r\nPAGE 9")},
};

TEST(ConversionPieces, EveryCutGivesTheWholeTextsOutcome) {
  const std::vector<ConversionCommand> commands = korvane::convert::allConversionCommands();
  for (const Sample& sample : kSamples) {
    const auto command = std::find_if(commands.begin(), commands.end(), [&](const auto& c) { return c.verb == sample.verb; });
    ASSERT_NE(command, commands.end()) << sample.verb;
    ASSERT_TRUE(korvane::convert::streamFor(command->verb)) << sample.verb;
    const Outcome expected = whole(*command, sample.text);
    for (const qsizetype size : {1, 2, 3, 7, 61}) {
      SCOPED_TRACE(std::string(sample.verb) + " in pieces of " + std::to_string(size));
      const Outcome outcome = inPieces(*command, sample.text, size);
      EXPECT_EQ(outcome.result, expected.result);
      EXPECT_EQ(outcome.messages, expected.messages);
      EXPECT_EQ(outcome.failure, expected.failure);
    }
  }
}

TEST(ConversionPieces, EveryVerbOfTheCommandLineReadsInPieces) {
  for (const ConversionCommand& command : korvane::convert::allConversionCommands()) {
    // level-lines reads the file's bytes in pieces by a path of its own (GSI and M5 are bytes
    // of any single-byte code page, not text); its tests read them a byte at a time.
    if (command.verb == QStringLiteral("level-lines")) continue;
    EXPECT_TRUE(korvane::convert::streamFor(command.verb)) << command.verb.toStdString();
  }
}

}  // namespace
