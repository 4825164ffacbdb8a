#pragma once
// QStrings shown as text in test failures, control characters as \xNN.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"';
  for (const QChar c : text) {
    if (c.unicode() < 0x20) {
      static const char digits[] = "0123456789ABCDEF";
      *out << "\\x" << digits[c.unicode() >> 4] << digits[c.unicode() & 15];
    } else {
      *out << QString(c).toStdString();
    }
  }
  *out << '"';
}
