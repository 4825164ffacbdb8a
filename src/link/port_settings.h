#pragma once
// The four port lists of the Main window turned into the port's settings.
//
// The texts kept here are the window's port variables: they keep their previous value when a
// list shows a text that matches none of its choices.

#include <QString>
#include <QStringList>

namespace korvane::link {

// What the four lists show.
struct PortListTexts {
  QString port;      // "COM1".."COM3", or a serial device found on the system
  QString baudRate;  // "1200" .. "19200"
  QString parity;    // "7bit/Even", "7bit/None", "8bit/Even", "8bit/None"
  QString stopBits;  // "1", "2"
};

// Choices of the lists, in list order.
QStringList baudRateChoices();
QStringList parityChoices();
QStringList stopBitChoices();

// Interval of the upload timer before any port configuration.
inline constexpr int kInitialUploadPaceMs = 300;

struct PortSettings {
  QString portNumberText;  // "1", "2", "3"
  QString portDevice;      // a system serial device chosen directly, else empty
  QString baudRateText;
  QString parityDataText;  // "E,7", "N,7", "E,8", "N,8"
  QString stopBitsText;
  int uploadPaceMs = kInitialUploadPaceMs;

  // Reads the list texts (leading and trailing spaces removed, exact comparisons).
  void readLists(const PortListTexts& lists);
  // "9600,N,8,1": baud rate, parity letter and data bits, stop bits.
  QString settingsText() const;
  // The device to open: the chosen system device, or the one COMn stands for.
  // Throws Failure when the port number is not a valid one.
  QString device() const;
};

}  // namespace korvane::link
