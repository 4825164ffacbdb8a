#pragma once
// Trimble DiNi levelling data in the M5 format, read into levelling lines.
//
// A record is one line: "For M5", the address ("Adr" and a number), the type and information block
// (27 characters: a point identification "KD1"/"KD2" or a text "TO"), then three value blocks, each
// a two-character type, a 14-character value and a unit, and the error column; "|" separates the
// blocks. The reader cuts a record at its "|", so a point name in another code page does not shift
// the blocks. Lines end in CR LF, LF or CR; blank lines are passed over.
//
// Records read:
//   TO ... Start-Line METHOD  a new levelling line (METHOD: BF, aBF, BFFB, BFBF, BBFF, FBBF, aBFFB,
//                             aBBFF)
//   TO ... End-Line           the end of the line (the line's sums may follow it, up to the next
//                             line or sighting)
//   KD...                     a sighting on the point named by the first word of the information
// Value types read: Lr, Rb back reading; Lv, Rf fore reading; Lz, Rz intermediate sight (no part of
// the line); HD, E sight distance; Z the instrument's running height (not on an intermediate
// sight); Sh the instrument's height difference of the line; Db, Df its sums of back and fore
// distances. Units: m, ft (the international foot). Every other type, record and text is passed over
// unread, as is the error column. A value the reader uses that is not a number or has another unit
// is an error naming the file, the line and the block.

#include <QString>
#include <optional>
#include <string_view>

#include "convert/level/byte_lines.h"
#include "convert/level/level_lines.h"

namespace korvane::convert::level {

class M5Reader {
 public:
    M5Reader(QString where, LineHandler handle);
    // Throws Failure for a damaged value the reader uses, a line start without a method and a
    // set-up that does not fit the line's method.
    void read(std::string_view piece);
    // Throws Failure when the file held no levelling line.
    void finish();

 private:
    void readRecord(std::string_view record, long number);
    QString where_;
    LineBuilder lines_;
    ByteLines bytes_;
    std::optional<double> backSum_, foreSum_;
    bool lineEnded_ = false;  // End-Line met; its sums may still follow
};

// Whether the text starts (after blank lines) with an M5 record ("For M5").
bool looksLikeM5(std::string_view start);

}  // namespace korvane::convert::level
