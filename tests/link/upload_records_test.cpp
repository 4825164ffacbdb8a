#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/failure.h"
#include "link/l14_text.h"
#include "link/upload_records.h"

using namespace korvane::link;
using korvane::Failure;

namespace {

// The checksum of ASCII text, computed the plain way: exclusive-or of the bytes, three digits.
QString asciiChecksum(const QByteArray& text) {
  int sum = 0;
  for (char c : text) sum ^= static_cast<unsigned char>(c);
  return QString::asprintf("%03d", sum);
}

}  // namespace

TEST(UploadRecords, ValuesInMillimetresTenCharacters) {
  EXPECT_EQ(uploadValueText(1234.5678), "0001234568");
  EXPECT_EQ(uploadValueText(-12.3), "-000012300");
  EXPECT_EQ(uploadValueText(0), "0000000000");
  EXPECT_EQ(uploadValueText(0.0004), "0000000000");
  EXPECT_EQ(uploadValueText(-0.0004), "-000000000");
  EXPECT_EQ(uploadValueText(2543210.1235), "2543210124");  // the decimal tie rounds up
  EXPECT_EQ(uploadValueText(12345678.9), "12345678900");   // longer numbers are written whole
}

TEST(UploadRecords, RecordRightAlignsTheName) {
  EXPECT_EQ(coordinateRecord("A12", 1, 2, 3), "+       A12_ x0000001000_ y0000002000_ z0000003000");
  EXPECT_EQ(coordinateRecord("", 0, 0, 0), "+          _ x0000000000_ y0000000000_ z0000000000");
  EXPECT_EQ(coordinateRecord("LONGNAME123", 0, 0, 0).mid(1, 11), "LONGNAME123");
}

TEST(UploadRecords, ChecksumOfCodePage950Codes) {
  EXPECT_EQ(blockChecksum(u"abc"), "096");
  EXPECT_EQ(blockChecksum(u""), "000");
  EXPECT_EQ(blockChecksum(u"TOPCON    +00001.000000100000-000017S"), "068");
  // 一 is A4 40: one code, negative as a 16-bit value: |0xA440 - 0x10000| = 23488.
  EXPECT_EQ(blockChecksum(QString::fromUtf8("一")), "488");
  // a (0x61) xor 0xA440 = 0xA421: |-23519|.
  EXPECT_EQ(blockChecksum(QString::fromUtf8("a一")), "519");
  const QByteArray sample = "+        P1_ x0000200250_";
  EXPECT_EQ(blockChecksum(QString::fromLatin1(sample)), asciiChecksum(sample));
}

TEST(UploadRecords, StartSequenceAndEndFrame) {
  EXPECT_EQ(gts200StartSequence(), QString("\x02" "F00F000\x03\r\n\x02TOPCON    +00001.000000100000-000017S068\x03\r\n"));
  EXPECT_EQ(gts200EndFrame(), QString("\x02\x04\x03\r\n"));
}

TEST(Gts200Blocks, ThirdRecordCutsTheFirstBlock) {
  Gts200Blocks blocks;
  EXPECT_FALSE(blocks.addLine("P1,1,2,3\r", UploadOption::NameYX).has_value());
  EXPECT_FALSE(blocks.addLine("\nP2,1,2,3\r", UploadOption::NameYX).has_value());
  EXPECT_EQ(blocks.blockBuffer().size(), 1 + 2 * 51);
  const auto block = blocks.addLine("\nP3,1,2,3\r", UploadOption::NameYX);
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(block->size(), 136);
  EXPECT_EQ(block->at(0), QChar(2));
  EXPECT_EQ(block->at(129), QChar(u'0'));  // block digit
  EXPECT_EQ(block->mid(130, 3), asciiChecksum(block->mid(1, 129).toLatin1()));
  EXPECT_TRUE(block->endsWith(QString("\x03\r\n")));
  EXPECT_EQ(blocks.blockBuffer().size(), 26);
  EXPECT_EQ(blocks.blockCounter(), 1);
  // The name of a line that begins with the LF of the break before it starts after the LF.
  EXPECT_TRUE(block->contains("+        P2_"));
}

TEST(Gts200Blocks, AxisOrderFollowsTheOption) {
  Gts200Blocks xy;
  xy.addLine("P1,100.5,200.25,5\r", UploadOption::NameXY);
  EXPECT_EQ(xy.lastRecord(), "+        P1_ x0000200250_ y0000100500_ z0000005000");
  Gts200Blocks l14;
  l14.addLine("P1,100.5,200.25,5\r", UploadOption::CadastralL14);
  EXPECT_EQ(l14.lastRecord(), xy.lastRecord());
  Gts200Blocks yx;
  yx.addLine("P1,100.5,200.25,5,CODE\r", UploadOption::NameYX);
  EXPECT_EQ(yx.lastRecord(), "+        P1_ x0000100500_ y0000200250_ z0000005000");
}

TEST(Gts200Blocks, BlockDigitsWrapAfterTen) {
  Gts200Blocks blocks;
  QString digits;
  for (int i = 0; i < 40; ++i) {
    if (const auto block = blocks.addLine(QStringLiteral("P%1,1,2,3\r").arg(i), UploadOption::NameXY)) {
      digits += block->at(129);
    }
  }
  ASSERT_GE(digits.size(), 12);
  EXPECT_TRUE(digits.startsWith("01234567890"));
}

TEST(Gts200Blocks, FinalBlockIsPaddedWithSpaces) {
  Gts200Blocks blocks;
  blocks.addLine("P1,1,2,3\r", UploadOption::NameYX);
  const QString last = blocks.finalBlock();
  EXPECT_EQ(last.size(), 136);
  EXPECT_EQ(last.mid(1, 52), "_+        P1_ x0000001000_ y0000002000_ z0000003000_");
  EXPECT_EQ(last.mid(53, 76), QString(76, u' '));
  EXPECT_EQ(last.at(129), QChar(u'0'));
}

TEST(Gts200Blocks, LinesWithoutThreeValuesCannotBeRead) {
  Gts200Blocks blocks;
  EXPECT_FALSE(blocks.addLine("no commas here\r", UploadOption::NameXY).has_value());
  EXPECT_EQ(blocks.blockBuffer(), "_");
  EXPECT_THROW(blocks.addLine("P1,1\r", UploadOption::NameXY), Failure);
  EXPECT_THROW(blocks.addLine("P1,1,2\r", UploadOption::NameXY), Failure);
}

// A value no coordinate field can hold (once sent as "Infinity") stops the upload naming the
// line and the value; nothing of that line reaches the block buffer.
TEST(Gts200Blocks, ValuesNoFieldCanHoldAreRefused) {
  for (const QString& line : {QStringLiteral("P1,1e999,2,3\r"), QStringLiteral("P1,1,-1e999,3\r"),
                              QStringLiteral("P1,1,2,") + QString(400, u'9') + u'\r', QStringLiteral("P1,1,2,1e13\r")}) {
    Gts200Blocks blocks;
    try {
      blocks.addLine(line, UploadOption::NameXY);
      ADD_FAILURE() << line.toStdString();
    } catch (const Failure& failure) {
      EXPECT_TRUE(failure.description().contains(u"無法上傳座標資料「P1,")) << failure.description().toStdString();
    }
    EXPECT_EQ(blocks.blockBuffer(), Gts200Blocks().blockBuffer());
  }
}

TEST(Gts600Lines, YOptionSwapsSecondAndThirdFields) {
  EXPECT_EQ(swapSecondAndThirdFields("P1,100,200,5,C\r"), "P1,200,100,5,C\r");
  EXPECT_EQ(swapSecondAndThirdFields("\nP2, 100 , 200 ,5\r"), "\nP2,200 ,100 ,5\r");
  EXPECT_THROW(swapSecondAndThirdFields("P1,100,200\r"), Failure);
}

struct L14 : ::testing::Test {
  QTemporaryDir folder;
  QString convert(const QString& text) { return convertL14Text(text, folder.path(), {}); }
};

TEST_F(L14, GroupsOfThreeBecomeUploadLines) {
  EXPECT_EQ(convert("P1 2543210.123 187654.321\r\n  P2   2543211.5  187655.25  P3 1 2\r\n"),
            "P1,187654.321,2543210.123,0\r\nP2,187655.25,2543211.5,0\r\nP3,2,1,0\r");
  QFile scratch(QDir(folder.path()).filePath("Temp.txt"));
  ASSERT_TRUE(scratch.open(QIODevice::ReadOnly));
  EXPECT_TRUE(scratch.readAll().startsWith("P1 2543210.123"));
}

TEST_F(L14, PageLineIsReplacedByTheLineAfterIt) {
  EXPECT_EQ(convert("PAGE 1\r\nP1 10 20\r\n"), "P1,20,10,0\r");
  // Two page lines in a row: the second is split into fields.
  EXPECT_EQ(convert("PAGE 1\r\nPAGE 2 X\r\n"), "PAGE,X,2,0\r");
}

TEST_F(L14, IncompleteGroupsEmptyLinesAndEmptyResultsFail) {
  EXPECT_THROW(convert("P1 10 20\r\nP2 30\r\n"), Failure);
  EXPECT_THROW(convert("P1 10 20\r\n\r\nP2 30 40\r\n"), Failure);
  EXPECT_THROW(convert(""), Failure);
  EXPECT_EQ(convert("P1 10 20\r\n\r\n"), "P1,20,10,0\r");  // blank lines at the end are no fault
  try {
    convert("P1 10 20\r\nP2 30\r\n");
  } catch (const Failure& failure) {
    EXPECT_TRUE(failure.description().contains("2")) << qPrintable(failure.description());
  }
}
