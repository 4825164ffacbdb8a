#include "text/cp950.h"

#include "text/cp950_codec.h"

namespace korvane::text {

namespace {

// How the windows-950 table splits bytes into characters: a lead byte
// (0x81..0xFE) takes the next byte with it when that byte is 0x40..0x7E or
// 0x80..0xFE; the pair may still be unassigned and then reads as one U+FFFD.
// Any other byte leaves the lead alone (U+FFFD) and is read by itself.
bool isLeadByte(uchar b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool pairsWithLead(uchar b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

bool endsWithPendingLead(QByteArrayView bytes, bool leadPending)
{
    for (const char c : bytes) {
        const auto b = uchar(c);
        leadPending = (leadPending && pairsWithLead(b)) ? false : isLeadByte(b);
    }
    return leadPending;
}

int countReplacements(const QString &text)
{
    int count = 0;
    for (const QChar c : text) {
        if (c == QChar::ReplacementCharacter)
            ++count;
    }
    return count;
}

} // namespace

Cp950Decoder::Cp950Decoder()
    : m_decoder(detail::cp950CodecName)
{
    Q_ASSERT(m_decoder.isValid());
}

QString Cp950Decoder::decode(QByteArrayView bytes)
{
    // The converter holds a trailing lead byte by itself; we follow along so
    // that finish() knows whether one is waiting.
    m_leadPending = endsWithPendingLead(bytes, m_leadPending);
    QString text = m_decoder.decode(bytes);
    m_undecodable += countReplacements(text);
    return text;
}

QString Cp950Decoder::finish()
{
    QString text;
    if (m_leadPending) {
        text = QString(QChar::ReplacementCharacter);
        ++m_undecodable;
    }
    m_decoder.resetState();
    m_leadPending = false;
    return text;
}

void Cp950Decoder::reset()
{
    m_decoder.resetState();
    m_leadPending = false;
    m_undecodable = 0;
}

QString decodeCp950(QByteArrayView bytes, int *undecodable)
{
    Cp950Decoder decoder;
    QString text = decoder.decode(bytes);
    text += decoder.finish();
    if (undecodable)
        *undecodable = decoder.undecodableByteCount();
    return text;
}

} // namespace korvane::text
