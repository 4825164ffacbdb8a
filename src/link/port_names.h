#pragma once
// Port names of the port list and the devices they open.
//
// "COM1".."COM3" are always the first entries. COMn opens COMn on Windows and /dev/ttyS(n-1)
// elsewhere, unless the environment variable KORVANE_COMn names another device. After them come
// the serial devices found on the system (ttyUSB0 and the like), which open directly.

#include <QString>
#include <QStringList>

namespace korvane::link {

// The entries of the port list.
QStringList portListEntries();

// The device that COMn opens.
QString deviceForComPort(int number);

// The device a list text names directly (a found serial port's name, or an absolute device
// path); empty when the text names none.
QString deviceForPortText(const QString& text);

}  // namespace korvane::link
