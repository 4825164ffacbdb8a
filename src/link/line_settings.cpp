#include "link/line_settings.h"

#include <QStringList>

#include "common/failure.h"

namespace korvane::link {
namespace {

[[noreturn]] void invalid(const QString& settings, const QString& field) {
  throw Failure(QStringLiteral("連接埠設定「%1」無效：%2").arg(settings, field));
}

}  // namespace

LineSettings parseLineSettings(const QString& settings) {
  const QStringList fields = settings.split(u',');
  if (fields.size() != 4) invalid(settings, QStringLiteral("應為 鮑率,同位檢查,資料位元,停止位元"));

  LineSettings line;
  bool ok = false;
  line.baudRate = fields[0].toInt(&ok);
  if (!ok || line.baudRate <= 0) invalid(settings, QStringLiteral("鮑率「%1」").arg(fields[0]));

  const QString parity = fields[1].toUpper();
  if (parity == u"N") line.parity = QSerialPort::NoParity;
  else if (parity == u"E") line.parity = QSerialPort::EvenParity;
  else if (parity == u"O") line.parity = QSerialPort::OddParity;
  else if (parity == u"M") line.parity = QSerialPort::MarkParity;
  else if (parity == u"S") line.parity = QSerialPort::SpaceParity;
  else invalid(settings, QStringLiteral("同位檢查「%1」").arg(fields[1]));

  const int dataBits = fields[2].toInt(&ok);
  if (!ok || dataBits < 5 || dataBits > 8) invalid(settings, QStringLiteral("資料位元「%1」").arg(fields[2]));
  line.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

  if (fields[3] == u"1") line.stopBits = QSerialPort::OneStop;
  else if (fields[3] == u"1.5") line.stopBits = QSerialPort::OneAndHalfStop;
  else if (fields[3] == u"2") line.stopBits = QSerialPort::TwoStop;
  else invalid(settings, QStringLiteral("停止位元「%1」").arg(fields[3]));
  return line;
}

}  // namespace korvane::link
