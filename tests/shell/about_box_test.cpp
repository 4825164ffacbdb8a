#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "shell/qt_services.h"

using namespace korvane::shell;
using korvane::testing::RecordingMessages;
using korvane::testing::ScriptedPort;

namespace {

class FakeSystem : public SystemInformation {
 public:
  std::optional<QString> localMachineValue(const QString& key, const QString& valueName) override {
    asked << key + u'|' + valueName;
    auto found = values.find(key + u'|' + valueName);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  bool fileExists(const QString& path) override { return files.contains(path); }
  bool start(const QString& program) override {
    started << program;
    return startWorks;
  }

  std::map<QString, QString> values;
  QStringList files;
  QStringList asked;
  QStringList started;
  bool startWorks = true;
};

}  // namespace

TEST(AboutBox, ShowsTitleVersionAndButtons) {
  RecordingMessages messages;
  FakeSystem system;
  AboutBox about(nullptr, messages, system);
  EXPECT_EQ(about.windowTitle(), "版本資訊 ");
  EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->text(), "Korvane資料轉換系統");
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "版本 V2.1.4 2003/01/12");
  EXPECT_FALSE(about.findChild<QLabel*>("lblDescription")->text().isEmpty());
  EXPECT_FALSE(about.findChild<QLabel*>("Label2")->text().isEmpty());
  EXPECT_EQ(about.findChild<QPushButton*>("cmdOK")->text(), "確定");
  EXPECT_EQ(about.findChild<QPushButton*>("cmdSysInfo")->text(), "系統資訊(&S)...");
  EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->font().family(), "新細明體");
}

TEST(AboutBox, WithoutRegistryValuesTheToolCannotBeProvided) {
  RecordingMessages messages;
  FakeSystem system;
  AboutBox about(nullptr, messages, system);
  about.show();
  about.findChild<QPushButton*>("cmdSysInfo")->click();
  EXPECT_EQ(messages.texts(), QStringList{"目前無法提供系統資訊"});
  EXPECT_EQ(messages.shown[0].kind, "plain");
  EXPECT_TRUE(system.started.isEmpty());
  EXPECT_TRUE(about.isVisible());  // the box stays open
}

TEST(AboutBox, ToolIsFoundByItsPathOrItsFolder) {
  RecordingMessages messages;
  {
    FakeSystem system;
    system.values["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH"] = "C:\\Tools\\msinfo32.exe";
    AboutBox(nullptr, messages, system).startSystemInformation();
    EXPECT_EQ(system.started, QStringList{"C:\\Tools\\msinfo32.exe"});
  }
  {
    FakeSystem system;
    system.values["SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"] = "C:\\MSINFO";
    system.files << "C:\\MSINFO\\MSINFO32.EXE";
    AboutBox(nullptr, messages, system).startSystemInformation();
    EXPECT_EQ(system.started, QStringList{"C:\\MSINFO\\MSINFO32.EXE"});
  }
  EXPECT_TRUE(messages.shown.empty());
  {
    FakeSystem system;
    system.values["SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"] = "C:\\MSINFO";  // no file there
    AboutBox(nullptr, messages, system).startSystemInformation();
    EXPECT_TRUE(system.started.isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{"目前無法提供系統資訊"});
  }
}

TEST(AboutBox, RegistryNumbersReadLastByteFirstWithoutLeadingZeros) {
  EXPECT_EQ(registryNumberText(0x0001020A), "&h012A");
  EXPECT_EQ(registryNumberText(0xFF00A0B1), "&hFF0A0B1");
  EXPECT_EQ(registryNumberText(0), "&h0000");
}

TEST(AboutBox, IsModalOverTheMainWindowAndClosesBackToIt) {
  RecordingMessages messages;
  ScriptedPort port;
  FakeSystem system;
  const ScreenMetrics screen{15360, 11520, 96.0, 96.0};
  MainWindow window(messages, port, &screen, WindowServices{nullptr, nullptr, &system});
  window.show();
  QString seen;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (box) {
      seen = box->objectName();
      modal = box->isModal();
      box->findChild<QPushButton*>("cmdOK")->click();
    }
  });
  window.findChild<QAction*>("mnuAbout")->trigger();
  EXPECT_EQ(seen, "frmAbout");
  EXPECT_TRUE(modal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// After 系統資訊 has been clicked (and has said it cannot start the tool), Enter closes the box
// with 確定 instead of clicking 系統資訊 again.
TEST(AboutBox, OkStaysTheDefaultAfterSystemInformationIsClicked) {
  RecordingMessages messages;
  FakeSystem system;
  AboutBox about(nullptr, messages, system);
  about.show();
  QPushButton* ok = about.findChild<QPushButton*>("cmdOK");
  QPushButton* sysInfo = about.findChild<QPushButton*>("cmdSysInfo");
  QTest::mouseClick(sysInfo, Qt::LeftButton);
  sysInfo->setFocus();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(sysInfo->isDefault());
  QTest::keyClick(sysInfo, Qt::Key_Return);
  EXPECT_EQ(messages.shown.size(), 1u);  // not asked again
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}
