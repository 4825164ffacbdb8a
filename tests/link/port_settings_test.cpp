#include <gtest/gtest.h>

#include "common/failure.h"
#include "link/line_settings.h"
#include "link/port_names.h"
#include "link/port_settings.h"

using korvane::Failure;
using namespace korvane::link;

TEST(PortSettings, ListTextsBecomePortNumberSettingsAndPace) {
  PortSettings settings;
  settings.readLists({"COM2", "4800", "7bit/Even", "2"});
  EXPECT_EQ(settings.portNumberText, "2");
  EXPECT_EQ(settings.settingsText(), "4800,E,7,2");
  EXPECT_EQ(settings.uploadPaceMs, 750);

  settings.readLists({" COM3 ", " 1200", "8bit/None ", "1"});
  EXPECT_EQ(settings.portNumberText, "3");
  EXPECT_EQ(settings.settingsText(), "1200,N,8,1");
  EXPECT_EQ(settings.uploadPaceMs, 800);

  const std::pair<const char*, int> paces[] = {{"2400", 750}, {"9600", 700}, {"19200", 700}};
  for (const auto& [baud, pace] : paces) {
    settings.readLists({"COM1", baud, "7bit/None", "1"});
    EXPECT_EQ(settings.uploadPaceMs, pace) << baud;
    EXPECT_EQ(settings.settingsText(), QString(baud) + ",N,7,1");
  }
}

TEST(PortSettings, UnknownTextsKeepThePreviousValues) {
  PortSettings settings;
  EXPECT_EQ(settings.uploadPaceMs, kInitialUploadPaceMs);
  settings.readLists({"COM2", "4800", "7bit/Even", "2"});
  settings.readLists({"COM9", "4801", "7bit/even", "3"});  // comparisons are exact and case-sensitive
  EXPECT_EQ(settings.portNumberText, "2");
  EXPECT_EQ(settings.settingsText(), "4800,E,7,2");
  EXPECT_EQ(settings.uploadPaceMs, 750);
}

TEST(PortSettings, NoValidBaudRateEverGivesASettingsTextThatCannotOpen) {
  PortSettings settings;
  settings.readLists({"COM1", "96OO", "8bit/None", "1"});
  EXPECT_EQ(settings.settingsText(), ",N,8,1");
  EXPECT_EQ(settings.uploadPaceMs, kInitialUploadPaceMs);
  EXPECT_THROW(parseLineSettings(settings.settingsText()), Failure);
}

TEST(PortSettings, ComPortsOpenTheirDeviceOrTheOneTheEnvironmentNames) {
  PortSettings settings;
  settings.readLists({"COM2", "9600", "8bit/None", "1"});
  qunsetenv("KORVANE_COM2");
#ifdef Q_OS_WIN
  EXPECT_EQ(settings.device(), "COM2");
#else
  EXPECT_EQ(settings.device(), "/dev/ttyS1");
#endif
  qputenv("KORVANE_COM2", "/tmp/instrument");
  EXPECT_EQ(settings.device(), "/tmp/instrument");
  qunsetenv("KORVANE_COM2");
}

TEST(PortSettings, ADevicePathOpensDirectlyAndComBringsTheNumberBack) {
  PortSettings settings;
  settings.readLists({"COM3", "9600", "8bit/None", "1"});
  settings.readLists({"/dev/ttyUSB7", "9600", "8bit/None", "1"});
  EXPECT_EQ(settings.device(), "/dev/ttyUSB7");
  settings.readLists({"COM1", "9600", "8bit/None", "1"});
  EXPECT_EQ(settings.portNumberText, "1");
  EXPECT_EQ(settings.device(), deviceForComPort(1));
}

TEST(PortSettings, NoPortChosenIsAnInvalidPortNumber) {
  PortSettings settings;
  settings.readLists({"LPT1", "9600", "8bit/None", "1"});
  EXPECT_THROW(settings.device(), Failure);
}

TEST(PortNames, ComPortsComeFirst) {
  const QStringList entries = portListEntries();
  ASSERT_GE(entries.size(), 3);
  EXPECT_EQ(entries.mid(0, 3), QStringList({"COM1", "COM2", "COM3"}));
  EXPECT_EQ(entries.count("COM1"), 1);
}

TEST(LineSettings, ReadsEveryField) {
  const LineSettings line = parseLineSettings("1200,E,7,2");
  EXPECT_EQ(line.baudRate, 1200);
  EXPECT_EQ(line.parity, QSerialPort::EvenParity);
  EXPECT_EQ(line.dataBits, QSerialPort::Data7);
  EXPECT_EQ(line.stopBits, QSerialPort::TwoStop);

  const LineSettings other = parseLineSettings("19200,N,8,1");
  EXPECT_EQ(other.baudRate, 19200);
  EXPECT_EQ(other.parity, QSerialPort::NoParity);
  EXPECT_EQ(other.dataBits, QSerialPort::Data8);
  EXPECT_EQ(other.stopBits, QSerialPort::OneStop);
}

TEST(LineSettings, RejectsBrokenTextsWithTheirNameInTheMessage) {
  for (const char* text : {"", ",N,8,1", "9600,X,8,1", "9600,N,9,1", "9600,N,8,3", "9600,N,8", "abc,N,8,1"}) {
    try {
      parseLineSettings(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const Failure& failure) {
      EXPECT_TRUE(failure.description().contains(QString(text))) << qPrintable(failure.description());
    }
  }
}
