// The six total-station entries of the "資料轉換" menu in the Main window (offscreen).

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "qstring_printer.h"
#include "shell/main_window.h"
#include "shell/workspace.h"

namespace {

const korvane::shell::ScreenMetrics kScreen{15360, 11520, 96.0, 96.0};

// A window whose files go to a folder of its own.
struct Window {
  QTemporaryDir home;
  korvane::testing::RecordingMessages messages;
  korvane::testing::ScriptedPort port;
  std::unique_ptr<korvane::shell::MainWindow> window;

  Window() {
    qputenv("KORVANE_HOME", home.path().toLocal8Bit());
    window = std::make_unique<korvane::shell::MainWindow>(messages, port, &kScreen);
  }
  ~Window() { qunsetenv("KORVANE_HOME"); }

  QString convert(const char* menuName, const QString& workspace) {
    window->workspace().setText(workspace);
    QAction* action = window->findChild<QAction*>(QString::fromLatin1(menuName));
    if (!action) ADD_FAILURE() << "no menu entry " << menuName;
    if (action) action->trigger();
    return window->workspace().text();
  }
};

const QString kGts200 = QStringLiteral("\x02_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,1.5_+P1_ ?000010000m0900000d1000000dm00010000_*X_,1_ ");
const QString kCoordinates = QStringLiteral("Job: LOT-12\r\nPoint          North         East\r\nP1             2543210.123    187654.321\r\n");
const QString kObservations =
    QStringLiteral("Job: LOT-12\r\nOcc. Stn: A01\r\nBacksight Point:  B02\r\n  SS      P101      HA: 123.4510  VA: 89.5930  HD: 123.400\r\n");

TEST(MainWindowConversions, EveryEntryReplacesTheWorkspaceWithItsReport) {
  Window w;
  EXPECT_EQ(w.convert("cCoord", QStringLiteral("+P1_ x1000_ y2000_ z3000_")), QStringLiteral("P1,1.000,2.000,3.000"));
  EXPECT_EQ(w.convert("cCoord1", QStringLiteral("+P1_ x1000_ y2000_ z3000_")), QStringLiteral("P1,2.000,1.000,3.000"));
  EXPECT_EQ(w.convert("cMeas", kGts200),
            QStringLiteral("   測站:        S1  儀器高:1.500  ID:        ID\r\n 後視點:        B1"
                           "  覘標高:1.500  Pcode:        BS  水平角:  0.0000  天頂距: 90.0000\r\n"
                           "SS 點號:        P1  覘標高:1.000  Pcode:         X  水平角:100.0000  天頂距: 90.0000  斜距:10.000平距:10.000"));
  EXPECT_EQ(w.convert("mnuMeas200", kGts200), QStringLiteral("S1 B1\r\nLS  (K123)\r\nP1 100.0000 10.000"));
  EXPECT_EQ(w.convert("mnuCoord600", kCoordinates), QStringLiteral("LS  (LOT-12)\r\nP1 2543210.123 187654.321"));
  EXPECT_EQ(w.convert("mnuMeas600", kObservations), QStringLiteral("LS  (LOT-12)\r\nA01 B02\r\nP101 123.4510 123.400"));
  EXPECT_TRUE(w.messages.shown.empty()) << w.messages.texts().join(u'|').toStdString();
  EXPECT_TRUE(QFile::exists(QDir(w.home.path()).filePath(QStringLiteral("Temp.txt"))));
}

// Data of another kind (or none) is no reason to blank the workspace: it stays, and a box says
// which records were looked for.
TEST(MainWindowConversions, WithoutRecordsOfItsKindAnEntryKeepsTheWorkspaceAndSaysSo) {
  Window w;
  const QString level = QStringLiteral("A,01,Z,\r\nb,00,JOB1,BM1,+02543210,\r\nZ,&,\r\n");
  const std::pair<const char*, QString> cases[] = {
      {"cCoord", kObservations}, {"cCoord1", QString()}, {"cMeas", kCoordinates}, {"mnuMeas200", level},
      {"mnuCoord600", level}, {"mnuMeas600", QStringLiteral("+P1_ x1000_ y2000_ z3000_")}};
  for (const auto& [name, text] : cases) {
    w.messages.shown.clear();
    EXPECT_EQ(w.convert(name, text), text) << name;
    ASSERT_EQ(w.messages.shown.size(), 1u) << name;
    EXPECT_EQ(w.messages.shown[0].kind, QStringLiteral("exclamation")) << name;
    EXPECT_EQ(w.messages.shown[0].title, QStringLiteral("訊息")) << name;
    EXPECT_TRUE(w.messages.shown[0].text.startsWith(QStringLiteral("資料中找不到 GTS-"))) << w.messages.shown[0].text.toStdString();
    EXPECT_TRUE(w.messages.shown[0].text.endsWith(QStringLiteral("，沒有轉換任何資料。"))) << name;
  }
  EXPECT_FALSE(QFile::exists(QDir(w.home.path()).filePath(QStringLiteral("Temp.txt"))));
}

// A number no report can show stops every entry with an error box naming the line and the field,
// even the GTS-200 observation reports that pass over other failing steps; the workspace stays.
TEST(MainWindowConversions, NumbersNoReportCanShowStopWithAnErrorBox) {
  Window w;
  const std::pair<const char*, QString> cases[] = {
      {"cCoord", QStringLiteral("+P1_ x1e999_ y2000_ z3000_")},
      {"cCoord1", QStringLiteral("+P1_ x1000_ y2000_ z") + QString(400, u'9') + u'_'},
      {"cMeas", QStringLiteral("_'S1_(ID_)1.5_+B1_ <0900000d0000000dK123_*BS_,") + QString(76, u'7') + QStringLiteral("_+P1_ ")},
      {"mnuMeas200", QStringLiteral("_'S1_(ID_)1.5_+B1_ ?1e999xxxxm0900000d1000000dm00010000_*X_,1_ ")},
      {"mnuCoord600", QStringLiteral("Job: A\r\nP1             1e999          187654.321\r\n")},
      {"mnuMeas600", QStringLiteral("Job: A\r\n  SS      P101      HA: 123.4510  VA: 89.5930  HD: 1e99999\r\n")}};
  for (const auto& [name, text] : cases) {
    w.messages.shown.clear();
    EXPECT_EQ(w.convert(name, text), text) << name;
    ASSERT_EQ(w.messages.shown.size(), 1u) << name;
    EXPECT_EQ(w.messages.shown[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(w.messages.shown[0].title, QStringLiteral("錯誤"));
    EXPECT_TRUE(w.messages.shown[0].text.startsWith(text.startsWith(u"Job") ? QStringLiteral("第 2 行的") : QStringLiteral("第 1 行的")))
        << name << ": " << w.messages.shown[0].text.toStdString();
  }
}

TEST(MainWindowConversions, FailuresShowAnErrorBoxAndKeepTheWorkspace) {
  Window w;
  ASSERT_TRUE(QDir(w.home.path()).mkdir(QStringLiteral("Temp.txt")));
  const QString cut = QStringLiteral("+P1_ x1000_ y2000_ z3000_+P2_ x1000_ y20");
  const std::pair<const char*, QString> cases[] = {
      {"cCoord", cut}, {"cCoord1", cut}, {"mnuCoord600", kCoordinates}, {"mnuMeas600", kObservations}};
  for (const auto& [name, text] : cases) {
    w.messages.shown.clear();
    EXPECT_EQ(w.convert(name, text), text) << name;
    ASSERT_EQ(w.messages.shown.size(), 1u) << name;
    EXPECT_EQ(w.messages.shown[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(w.messages.shown[0].title, QStringLiteral("錯誤"));
    const QString named = text == cut ? QStringLiteral("P2") : QStringLiteral("Temp.txt");
    EXPECT_TRUE(w.messages.shown[0].text.contains(named)) << w.messages.shown[0].text.toStdString();
  }
}

TEST(MainWindowConversions, TokensAfterEotAreShownInBoxesWithTheApplicationTitle) {
  Window w;
  EXPECT_EQ(w.convert("mnuMeas200", QStringLiteral("_<0900000d0000000dK123_*BS_,1.5_+P\x04_ 'S1_(ID_)1.5_+B1_ ")),
            QStringLiteral("LS  (K123)\r\nP\x04 \r\nS1 B1\r\n"));
  ASSERT_EQ(w.messages.shown.size(), 2u);
  EXPECT_EQ(w.messages.shown[0].kind, QStringLiteral("plain"));
  EXPECT_EQ(w.messages.shown[0].title, QStringLiteral("Korvane"));
  EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("'S1_(ID_)1.5_+B1_ "));
}

}  // namespace
