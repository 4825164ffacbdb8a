#include "text/cp950.h"

#include "text/cp950_codec.h"

#include <QStringEncoder>

namespace korvane::text {

namespace {

// The length in QChars of the code point starting at text[i].
qsizetype codePointLength(QStringView text, qsizetype i)
{
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return 2;
    return 1;
}

bool isLoneSurrogate(QStringView codePoint)
{
    return codePoint.size() == 1 && codePoint.front().isSurrogate();
}

// Whether text holds a character we must check ourselves: U+FFFD, which has
// no Big5 form, and lone surrogates, since the converter drops a high
// surrogate at the very end of the text without raising an error.
bool needsOwnCheck(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); i += codePointLength(text, i)) {
        const QChar c = text[i];
        if (c == QChar::ReplacementCharacter || (c.isSurrogate() && codePointLength(text, i) == 1))
            return true;
    }
    return false;
}

// Encodes one code point at a time to find the characters without a CP950
// form. The converter writes '?' for those; its error flag cannot be used
// here because it stays set once raised, even across resetState().
Cp950Encoding encodeEachCodePoint(QStringView text)
{
    QStringEncoder encoder(detail::cp950CodecName);
    Cp950Encoding result;
    result.bytes.resize(encoder.requiredSpace(text.size()));
    char *const begin = result.bytes.data();
    char *out = begin;

    for (qsizetype i = 0; i < text.size();) {
        const QStringView codePoint = text.mid(i, codePointLength(text, i));
        bool encodable;
        if (isLoneSurrogate(codePoint) || codePoint.front() == QChar::ReplacementCharacter) {
            *out++ = '?';
            encodable = false;
        } else {
            char *const end = encoder.appendToBuffer(out, codePoint);
            encodable = !(end - out == 1 && *out == '?' && codePoint.front() != u'?');
            out = end;
        }
        if (!encodable && result.ok()) {
            result.unencodableAt = i;
            result.unencodable = codePoint.toString();
        }
        i += codePoint.size();
    }
    result.bytes.truncate(out - begin);
    return result;
}

} // namespace

Cp950Encoding encodeCp950(QStringView text)
{
    QStringEncoder encoder(detail::cp950CodecName);
    Q_ASSERT(encoder.isValid());
    Cp950Encoding result;
    result.bytes = encoder.encode(text);
    if (!encoder.hasError() && !needsOwnCheck(text))
        return result;
    return encodeEachCodePoint(text);
}

QString Cp950Encoding::describe() const
{
    if (ok())
        return {};

    const char32_t codePoint = unencodable.size() == 2
            ? QChar::surrogateToUcs4(unencodable[0], unencodable[1])
            : unencodable[0].unicode();
    const QString code = QStringLiteral("U+%1")
            .arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();

    // A lone surrogate cannot be shown; only its code is given.
    const QString shown = isLoneSurrogate(unencodable)
            ? QStringLiteral("字元 (%1)").arg(code)
            : QStringLiteral("字元「%1」(%2)").arg(unencodable, code);
    return shown + QStringLiteral(" 無法以 Big5 (CP950) 表示");
}

} // namespace korvane::text
