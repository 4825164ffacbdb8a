#pragma once
// What a host sends back to an instrument: CR LF terminated lines. The DL-100C level expects one
// acknowledgement line after each chunk it sends.

#include <QByteArray>

#include <optional>

namespace korvane::testing {

// The acknowledgement line: ACK , R , CR LF (06 2C 52 2C 0D 0A).
QByteArray acknowledgementLine();

// The complete line (up to and including LF) starting at `cursor`, advancing `cursor` past it;
// nothing while the line is still incomplete.
std::optional<QByteArray> takeLine(const QByteArray& bytes, qsizetype& cursor);

// The number of complete lines from `from` on that are exactly the acknowledgement line.
int countAcknowledgementLines(const QByteArray& bytes, qsizetype from);

// The bytes as spaced hex, e.g. "06 2c 52", for messages.
std::string hexText(const QByteArray& bytes);

}  // namespace korvane::testing
