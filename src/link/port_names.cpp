#include "link/port_names.h"

#include <QDir>
#include <QSerialPortInfo>

namespace korvane::link {

QStringList portListEntries() {
  QStringList entries = {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3")};
  QStringList comDevices;
  for (int n = 1; n <= 3; ++n) comDevices << deviceForComPort(n);
  QStringList found;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    if (entries.contains(info.portName()) || comDevices.contains(info.systemLocation())) continue;
    found << info.portName();
  }
  found.sort();
  found.removeDuplicates();
  return entries + found;
}

QString deviceForComPort(int number) {
  const QString overridden = qEnvironmentVariable(qPrintable(QStringLiteral("KORVANE_COM%1").arg(number)));
  if (!overridden.isEmpty()) return overridden;
#ifdef Q_OS_WIN
  return QStringLiteral("COM%1").arg(number);
#else
  return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString deviceForPortText(const QString& text) {
  if (text.isEmpty()) return {};
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    if (info.portName() == text) return info.systemLocation();
  }
#ifndef Q_OS_WIN
  if (QDir::isAbsolutePath(text)) return text;
#endif
  return {};
}

}  // namespace korvane::link
