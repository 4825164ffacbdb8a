#pragma once
// Leica GSI-8 and GSI-16 levelling data (DNA03, DNA10, LS10, LS15), read into levelling lines.
//
// A line of the file is a block of words, each word 16 characters in GSI-8 and 24 in GSI-16 (a
// GSI-16 block starts with "*"), the last a blank that may be missing at the end of the block:
// positions 1-2 hold the word index, or 1-3 for the three-digit indices 3xx and 5xx; position 6
// the unit, position 7 the sign, then 8 or 16 data characters. Lines end in CR LF, LF or CR;
// blank lines are passed over.
//
// Words read:
//   41       a new levelling line when the data's last digit is a method: 1 BF, 2 BFFB, 3 BFBF,
//            4 aBF, 5 aBFFB; a 41 block with information words 42-49, or another last digit, is
//            a code block and passed over, except a line header (data starting with "?") with
//            another last digit, which is refused
//   11       the point number of the block (leading zeros dropped)
//   32       the sight distance
//   331, 335 the first and second back reading; 332, 336 the first and second fore reading;
//   330, 333 an intermediate sight (no part of the line)
//   390, 391 the mean of repeated readings and their spread: checked, not used
//   571-573  station difference, accumulated difference, distance balance: checked, not used
//   574      the instrument's running line length
//   83       the instrument's running height (not in a block of an intermediate sight)
// Units (position 6) of these words: 0 metre to 1 mm, 6 to 0.1 mm, 8 to 0.01 mm; 1 foot to
// 0.001 ft, 7 to 0.0001 ft (the international foot, 0.3048 m). Any other unit is refused.
// Every other word (codes, free text in any single-byte code page, angles, coordinates) is passed
// over unread. A word the reader uses with bad digits, a bad sign or unit, or the wrong length
// is an error naming the file, the line and the word; such a word it does not use is passed over.

#include <QString>
#include <string_view>

#include "convert/level/byte_lines.h"
#include "convert/level/level_lines.h"

namespace korvane::convert::level {

class GsiReader {
 public:
    // `where` names the file in messages; each finished line goes to `handle`.
    GsiReader(QString where, LineHandler handle);
    // Reads a piece of the file. Throws Failure for a damaged word the reader uses and for a
    // set-up that does not fit the line's method.
    void read(std::string_view piece);
    // The file has ended: finishes the last line. Throws Failure when the file held no levelling
    // line at all.
    void finish();

 private:
    void readBlock(std::string_view block, long number);
    QString where_;
    LineBuilder lines_;
    ByteLines bytes_;
};

// Whether the text starts (after blank lines) like a GSI block: an optional "*", then a word of
// six index and information characters and a sign.
bool looksLikeGsi(std::string_view start);

}  // namespace korvane::convert::level
