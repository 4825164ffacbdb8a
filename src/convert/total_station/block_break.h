#pragma once
// The block break of a GTS-200 series transfer, and its removal from a record or a field.
//
// Where one transfer block ends and the next begins, the download leaves eight characters in the
// middle of the data: the block digit and the three-digit checksum of the ending block, ETX, CR,
// LF, and the STX of the next block. The break is recognised by its marker ETX CR LF; the four
// characters before the marker and the one after it go with it, whatever they are.

#include <QString>
#include <QStringView>

namespace korvane::convert::total_station {

// The marker of a block break: ETX, CR, LF.
inline constexpr QStringView kBlockBreakMarker = u"\x03\r\n";
// Characters of a block break before its marker, and in all.
inline constexpr qsizetype kBlockBreakLead = 4;
inline constexpr qsizetype kBlockBreakLength = 8;

// Removes the first block break of `text`: the text before the break's four leading characters
// and the text after the character that follows the LF, each without its leading and trailing
// spaces, are joined. A second break stays. Returns whether a break was removed.
// Throws korvane::Failure, with `text` unchanged, when the marker starts within the first four
// characters (the break's leading characters would lie before the text).
bool mendBlockBreak(QString& text);

// Mends `text` (in place) and returns it right-aligned in ten characters; a longer text is
// returned whole. Without a break the text is not trimmed. For point numbers, identifiers,
// point codes and target heights. Throws as mendBlockBreak.
QString StripBlockBreakAligned(QString& text);

// Mends `text` (in place), appending one space when a break was removed, and returns it. Used
// once per record token. Throws as mendBlockBreak.
QString StripBlockBreak(QString& text);

}  // namespace korvane::convert::total_station
