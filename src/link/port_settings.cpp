#include "link/port_settings.h"

#include "common/failure.h"
#include "link/port_names.h"
#include "text/number_text.h"
#include "text/spaces.h"

namespace korvane::link {
namespace {

struct BaudChoice {
  const char16_t* text;
  int uploadPaceMs;
};
constexpr BaudChoice kBaudChoices[] = {
    {u"1200", 800}, {u"2400", 750}, {u"4800", 750}, {u"9600", 700}, {u"19200", 700}};

struct ParityChoice {
  const char16_t* text;
  const char16_t* value;
};
constexpr ParityChoice kParityChoices[] = {
    {u"7bit/Even", u"E,7"}, {u"7bit/None", u"N,7"}, {u"8bit/Even", u"E,8"}, {u"8bit/None", u"N,8"}};

}  // namespace

QStringList baudRateChoices() {
  QStringList list;
  for (const auto& choice : kBaudChoices) list << QString::fromUtf16(choice.text);
  return list;
}

QStringList parityChoices() {
  QStringList list;
  for (const auto& choice : kParityChoices) list << QString::fromUtf16(choice.text);
  return list;
}

QStringList stopBitChoices() { return {QStringLiteral("1"), QStringLiteral("2")}; }

void PortSettings::readLists(const PortListTexts& lists) {
  const QString port = text::trimSpaces(lists.port);
  if (port == u"COM1" || port == u"COM2" || port == u"COM3") {
    portNumberText = port.right(1);
    portDevice.clear();
  } else if (const QString device = deviceForPortText(port); !device.isEmpty()) {
    portDevice = device;
  }

  const QString baud = text::trimSpaces(lists.baudRate);
  for (const auto& choice : kBaudChoices) {
    if (baud == QStringView(choice.text)) {
      baudRateText = baud;
      uploadPaceMs = choice.uploadPaceMs;
    }
  }

  const QString parity = text::trimSpaces(lists.parity);
  for (const auto& choice : kParityChoices) {
    if (parity == QStringView(choice.text)) parityDataText = QString::fromUtf16(choice.value);
  }

  const QString stop = text::trimSpaces(lists.stopBits);
  if (stop == u"1" || stop == u"2") stopBitsText = stop;
}

QString PortSettings::settingsText() const {
  return baudRateText + u',' + parityDataText + u',' + stopBitsText;
}

QString PortSettings::device() const {
  if (!portDevice.isEmpty()) return portDevice;
  const double number = text::numericValue(portNumberText);
  if (number < 1 || number > 255) {
    throw Failure(QStringLiteral("連接埠編號無效（%1）").arg(portNumberText.isEmpty() ? QStringLiteral("0") : portNumberText));
  }
  return deviceForComPort(static_cast<int>(number));
}

}  // namespace korvane::link
