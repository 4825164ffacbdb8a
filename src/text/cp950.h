#pragma once

// Code page 950 (Big5 as Windows writes it): the byte form of Korvane's text
// on the serial line and in exchanged files.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

namespace korvane::text {

// Decodes a CP950 byte stream that arrives in pieces, e.g. serial reads.
// A double-byte character split between two pieces comes out whole with the
// later piece. Bytes without a CP950 reading become U+FFFD.
class Cp950Decoder
{
public:
    Cp950Decoder();

    QString decode(QByteArrayView bytes);

    // Ends the stream. A lead byte still waiting for its second byte is
    // unreadable: it gives U+FFFD and is counted. The decoder is then ready
    // for a new stream; the count is kept.
    QString finish();

    // Unreadable input so far: one for each U+FFFD produced (no CP950
    // character reads as U+FFFD).
    int undecodableByteCount() const { return m_undecodable; }

    // Forgets any waiting byte and clears the count.
    void reset();

private:
    QStringDecoder m_decoder;
    bool m_leadPending = false;
    int m_undecodable = 0;
};

// Decodes a whole buffer; a cut-off character at its end gives U+FFFD.
QString decodeCp950(QByteArrayView bytes, int *undecodable = nullptr);

struct Cp950Encoding
{
    // The encoded text. When !ok(), every character without a CP950 form is
    // written as '?'.
    QByteArray bytes;
    // Index (in QChars) of the first character with no CP950 form; -1 when
    // all encode.
    qsizetype unencodableAt = -1;
    // That character: one QChar, or two for a surrogate pair.
    QString unencodable;

    bool ok() const { return unencodableAt < 0; }

    // For the user, e.g. 字元「é」(U+00E9) 無法以 Big5 (CP950) 表示.
    // Empty when ok().
    QString describe() const;
};

// Encodes text to CP950 and never replaces a character silently: the first
// character that has no CP950 form (U+FFFD and lone surrogates included) is
// reported.
Cp950Encoding encodeCp950(QStringView text);

} // namespace korvane::text
