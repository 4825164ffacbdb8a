// The Leica GSI and DiNi M5 readers: levelling lines summed from the readings, the instrument's
// running values beside ours, the format told from the content, and the damaged files refused.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/failure.h"
#include "convert/level/gsi_reader.h"
#include "convert/level/level_file.h"
#include "convert/level/level_lines_report.h"
#include "level_lines_data.h"

using namespace korvane::convert::level;
using namespace korvane::testing::levels;

namespace {

std::vector<LevelLine> read(const std::string& bytes) {
    return readLevelLines(bytes, detectLevelFormat(bytes), QStringLiteral("net.gsi"));
}

QString failureOf(const std::string& bytes) {
    const std::optional<QString> failure = korvane::attempt([&] { read(bytes); });
    EXPECT_TRUE(failure) << bytes;
    return failure.value_or(QString());
}

// A -> TP1 -> B: +0.20000 m and -0.05000 m over 30 m and 40 m of sights.
const std::vector<Station> kTwoSetups = {{"A", "TP1", {1.5}, {1.3}, 15, 15}, {"TP1", "B", {1.2}, {1.25}, 20, 20}};

}  // namespace

TEST(LevelLines, GsiLinesSummedPerMethodAndFormat) {
    const std::vector<Station> doubled = {{"A", "TP1", {1.5, 1.5002}, {1.3, 1.3}, 15, 15},
                                        {"TP1", "B", {1.2, 1.2}, {1.25, 1.2497}, 20, 20}};
    struct Case {
        const char* name;
        GsiLine line;
        GsiStyle style;
        double dh, spread;
    };
    const Case cases[] = {
        {"BF, GSI-8", {1, 100, kTwoSetups, {}}, {}, 0.15, 0},
        {"BFFB, GSI-16", {2, 100, doubled, {}}, {true}, 0.15025, 0.0003},
        {"BFBF", {3, 100, doubled, {}}, {}, 0.15025, 0.0003},
        {"aBF", {4, 100, kTwoSetups, {}}, {true}, 0.15, 0},
        {"aBFFB", {5, 100, doubled, {}}, {}, 0.15025, 0.0003},
        {"CR alone", {2, 100, doubled, {}}, {false, '8', "\r"}, 0.15025, 0.0003},
        {"LF alone", {1, 100, kTwoSetups, {}}, {false, '8', "\n"}, 0.15, 0},
    };
    const char* methods[] = {"", "BF", "BFFB", "BFBF", "aBF", "aBFFB"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<LevelLine> lines = read(gsiFile({c.line}, c.style));
        ASSERT_EQ(lines.size(), 1u);
        const LevelLine& line = lines[0];
        EXPECT_EQ(line.start, "A");
        EXPECT_EQ(line.end, "B");
        EXPECT_EQ(line.method.name, methods[c.line.methodDigit]);
        EXPECT_EQ(line.setups, 2);
        EXPECT_NEAR(line.dh, c.dh, 1e-9);
        EXPECT_NEAR(line.length, 70, 1e-9);
        EXPECT_NEAR(line.largestSpread, c.spread, 1e-9);
        EXPECT_NEAR(line.balance, 0, 1e-9);
        ASSERT_TRUE(line.instrumentDh && line.instrumentLength);
        EXPECT_NEAR(*line.instrumentDh, c.dh, 1e-5);
        EXPECT_NEAR(*line.instrumentLength, 70, 1e-5);
        EXPECT_TRUE(line.agrees());
    }
}

TEST(LevelLines, EveryUnitDigitIncludingFeetAndAnUpsideDownStaff) {
    struct Case {
        char unit;
        double back, fore;  // in the unit's metre or foot
        double dh;          // m
    };
    const Case cases[] = {
        {'0', 1.523, 1.021, 0.502},     {'6', 1.5234, 1.0211, 0.5023},   {'8', 1.52345, 1.02111, 0.50234},
        {'1', 4.000, 3.000, 0.3048},    {'7', 4.0001, 3.0000, 0.30483048},
        {'8', -1.20000, 0.80000, -2.0},  // the back staff upside down under a ceiling mark
        {'8', 1.00000, -0.50000, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.unit) + " " + std::to_string(c.back));
        const double distance = c.unit == '1' || c.unit == '7' ? 10 / 0.3048 : 10;  // 10 m in the unit
        GsiLine line{1, 10, {{"A", "B", {c.back}, {c.fore}, distance, distance}}, {}};
        GsiStyle style;
        style.unit = c.unit;
        const std::vector<LevelLine> lines = read(gsiFile({line}, style));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NEAR(lines[0].dh, c.dh, 1e-9);
        EXPECT_NEAR(lines[0].length, 20, 1e-3);
        EXPECT_TRUE(lines[0].agrees());
    }
}

TEST(LevelLines, ADeletedSetupIsFlaggedWithBothValuesAndForwardAndBackAreTwoLines) {
    std::vector<Station> three = kTwoSetups;
    three.insert(three.begin() + 1, Station{"TP1", "TP2", {1.0}, {1.1}, 25, 25});
    three[2].back = "TP2";
    const std::vector<GsiLine> file = {{1, 100, three, {1}}, {1, 100.05, {{"B", "A", {1.25}, {1.4}, 30, 30}}, {}}};
    const std::vector<LevelLine> lines = read(gsiFile(file) + "\r\n\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].setups, 2);
    EXPECT_NEAR(lines[0].dh, 0.15, 1e-9);
    EXPECT_NEAR(*lines[0].instrumentDh, 0.05, 1e-9);
    EXPECT_NEAR(*lines[0].instrumentLength, 120, 1e-9);
    EXPECT_FALSE(lines[0].agrees());
    EXPECT_EQ(lines[1].start, "B");
    EXPECT_EQ(lines[1].end, "A");
    EXPECT_NEAR(lines[1].dh, -0.15, 1e-9);
    EXPECT_TRUE(lines[1].agrees());

    const QString report = levelLinesReport(lines, QStringLiteral("net.gsi"));
    EXPECT_TRUE(report.contains(QStringLiteral("*A")) || report.contains(QStringLiteral("* A"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("1 條標「*」"))) << report.toStdString();
    EXPECT_EQ(levelLinesCsv(lines),
              "start,end,method,setups,dh_m,length_km,instrument_dh_m,instrument_length_km,agrees\r\n"
              "A,B,BF,2,0.15000,0.07000,0.05000,0.12000,false\r\n"
              "B,A,BF,1,-0.15000,0.06000,-0.15000,0.06000,true\r\n");
}

TEST(LevelLines, ReadingInPiecesOfOneByteGivesTheSameLines) {
    const std::string bytes = gsiFile({{2, 100, {{"A", "B", {1.5, 1.5}, {1.3, 1.3}, 15, 15}}, {}}}, {false, '8', "\r"});
    std::vector<LevelLine> lines;
    GsiReader reader(QStringLiteral("net.gsi"), [&](LevelLine&& line) { lines.push_back(std::move(line)); });
    for (char byte : bytes) reader.read(std::string_view(&byte, 1));
    reader.finish();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].dh, 0.2, 1e-9);
}

TEST(LevelLines, DiniLineWithIntermediateSightsAndItsSums) {
    const auto kd = [](const std::string& point) { return "KD1 " + point; };
    std::string file = m5Record(1, "TO  Start-Line         BF  1", "", "", "");
    file += m5Record(2, kd("A"), "", "", m5Value("Z", 50));
    file += m5Record(3, kd("A"), m5Value("Rb", 1.5), m5Value("HD", 20), "");
    file += m5Record(4, kd("X1"), m5Value("Rz", 0.7), m5Value("HD", 8), m5Value("Z", 50.8));
    file += m5Record(5, kd("B"), m5Value("Rf", 1.1), m5Value("HD", 21), m5Value("Z", 50.4));
    file += m5Record(6, kd("B"), m5Value("Lr", 1.2), m5Value("E", 4, "ft"), "");
    file += m5Record(7, kd("C"), m5Value("Lv", 1.0), m5Value("HD", 10), m5Value("Z", 50.6));
    file += m5Record(8, "TO  End-Line", "", "", "");
    file += m5Record(9, kd("C"), m5Value("Sh", 0.6), m5Value("Db", 21.2192), m5Value("Df", 31));
    const std::vector<LevelLine> lines = read(file);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].start, "A");
    EXPECT_EQ(lines[0].end, "C");
    EXPECT_EQ(lines[0].setups, 2);
    EXPECT_NEAR(lines[0].dh, 0.6, 1e-9);
    EXPECT_NEAR(lines[0].length, 52.2192, 1e-9);
    EXPECT_NEAR(*lines[0].instrumentDh, 0.6, 1e-9);
    EXPECT_NEAR(*lines[0].instrumentLength, 52.2192, 1e-9);
    EXPECT_TRUE(lines[0].agrees());
}

TEST(LevelLines, FormatToldFromTheContent) {
    const std::pair<std::string, LevelFormat> cases[] = {
        {"A,01,Z,\r\nb,...", LevelFormat::Dl100c},
        {"\r\n410001+?......1 \r\n", LevelFormat::Gsi},
        {"*410001+?..............1 ", LevelFormat::Gsi},
        {"For M5|Adr     1|TO  Start-Line", LevelFormat::M5},
        {"PNT,X,Y,Z\r\n1,2,3,4", LevelFormat::Unknown},
        {"x,y\r\n", LevelFormat::Unknown},
        {"", LevelFormat::Unknown},
    };
    for (const auto& [start, format] : cases) EXPECT_EQ(detectLevelFormat(start), format) << start;
}

TEST(LevelLines, DamagedFilesAreRefusedNamingFileLineAndWord) {
    const std::string good = gsiFile({{1, 100, kTwoSetups, {}}});
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        std::string bytes;
        std::vector<QString> named;
    };
    const Case cases[] = {
        {replaced("331.08+00150000", "331.08+0015x000"), {"net.gsi", "第 3 行", "第 3 個字", "331.08+0015x000", "非數字"}},
        {replaced("331.08+00150000", "331.08+001500000"), {"第 3 行", "長度不對"}},
        {replaced("331.08+00150000", "331.04+00150000"), {"第 3 行", "單位"}},
        {replaced("331.08+00150000", "331.08*00150000"), {"第 3 行", "正負號"}},
        {replaced("410001+??????.1", "410001+??????.7"), {"第 1 行", "測量方法"}},
        {replaced("331.08+00150000", "331.08+00150000 332.08+00150000 332.08+00150000"), {"net.gsi", "前視讀數多於"}},
        {"110001+00000001 81..00+00005387 82..00-00000992 83..00+00000100\r\n", {"net.gsi", "找不到 Leica GSI 的水準線"}},
        {"PNT,X,Y,Z\r\n", {"net.gsi", "DL-100C", "GSI", "M5"}},
        {m5Record(1, "TO  Start-Line  XY", "", "", ""), {"第 1 行", "XY"}},
        {m5Record(1, "TO  Start-Line  BF", "", "", "") + m5Record(2, "KD1 A", "Rb    1.2x m", "", ""),
         {"第 2 行", "第 1 個數值區塊", "不是數字"}},
        {m5Record(1, "TO  Start-Line  BF", "", "", "") + m5Record(2, "KD1 A", m5Value("Rb", 1, "yd"), "", ""), {"單位"}},
        {m5Record(1, "TO  Start-Line  BF", "", "", "") + m5Record(2, "KD1 A", m5Value("Rb", 1), "", ""),
         {"讀數不全"}},
    };
    for (const Case& c : cases) {
        const QString failure = failureOf(c.bytes);
        for (const QString& part : c.named) EXPECT_TRUE(failure.contains(part)) << failure.toStdString() << " / " << part.toStdString();
    }
    // A damaged word the reader does not use (a free text in another code page) is passed over,
    // and so is a code block amid the line (a 41 word with information words).
    EXPECT_EQ(read(replaced("83...8+10000000", "83...8+10000000\r\n410009+00000013 42....+0000TREE")).size(), 1u);
    const std::string text = replaced("83...8+10000000", "83...8+10000000 42....+\xE9t\xE9 71....+K\xFCr");
    EXPECT_EQ(read(text).size(), 1u);
}
