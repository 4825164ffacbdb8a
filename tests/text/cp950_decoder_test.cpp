#include "text/cp950.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <random>

using korvane::text::Cp950Decoder;
using korvane::text::decodeCp950;

namespace {

// 測站 A12 高程=12.5 ═ 點號\r\n
const QByteArray big5Line("\xB4\xFA\xAF\xB8 A12 \xB0\xAA\xB5\x7B=12.5 \xF9\xF9 \xC2\x49\xB8\xB9\r\n");
const QString big5LineText = QStringLiteral("測站 A12 高程=12.5 ═ 點號\r\n");

const QChar replacement = QChar::ReplacementCharacter;

} // namespace

TEST(Cp950Decoder, ReadsTheWindowsTable)
{
    EXPECT_EQ(decodeCp950("\xF9\xF9"), QString(QChar(0x2550)));
    EXPECT_EQ(decodeCp950("\xA4\x40"), u"一");
    EXPECT_EQ(decodeCp950(big5Line), big5LineText);
    EXPECT_EQ(decodeCp950("\x80\xFF"), QString(QChar(0x0080)) + QChar(0xF8F8));
}

TEST(Cp950Decoder, EverySplitPointGivesTheSameText)
{
    for (qsizetype cut = 0; cut <= big5Line.size(); ++cut) {
        Cp950Decoder decoder;
        QString text = decoder.decode(QByteArrayView(big5Line).first(cut));
        text += decoder.decode(QByteArrayView(big5Line).sliced(cut));
        text += decoder.finish();
        EXPECT_EQ(text, big5LineText) << "cut at " << cut;
        EXPECT_EQ(decoder.undecodableByteCount(), 0);
    }
}

TEST(Cp950Decoder, DanglingLeadByteAtTheEndIsAnError)
{
    Cp950Decoder decoder;
    EXPECT_EQ(decoder.decode("A\xA4"), u"A");
    EXPECT_EQ(decoder.finish(), QString(replacement));
    EXPECT_EQ(decoder.undecodableByteCount(), 1);
    // Ready for the next stream: the old lead byte is gone.
    EXPECT_EQ(decoder.decode("\x40"), u"@");
    EXPECT_EQ(decoder.undecodableByteCount(), 1);
    decoder.reset();
    EXPECT_EQ(decoder.undecodableByteCount(), 0);

    int undecodable = 0;
    EXPECT_EQ(decodeCp950("\xB4\xFA\xAF", &undecodable), QStringLiteral("測") + replacement);
    EXPECT_EQ(undecodable, 1);
}

TEST(Cp950Decoder, InvalidSecondByteIsReadOnItsOwn)
{
    int undecodable = 0;
    EXPECT_EQ(decodeCp950("\xA4\x04", &undecodable), QString(replacement) + QChar(4));
    EXPECT_EQ(undecodable, 1);
    // 0x80..0xA0 are taken as a second byte; such pairs have no character.
    EXPECT_EQ(decodeCp950("\x81\x80" "A", &undecodable), QString(replacement) + u'A');
    EXPECT_EQ(undecodable, 1);
}

// Checks the decoder's own idea of a waiting lead byte against the
// converter: random bytes in random pieces must read like the whole buffer
// followed by a line feed, which ends any character.
TEST(Cp950Decoder, PiecesReadLikeTheWholeBuffer)
{
    std::mt19937 random(950);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 40), pieceLength(0, 5);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        for (int i = length(random); i > 0; --i)
            bytes += char(byte(random));

        QStringDecoder reference("windows-950");
        QString expected = reference.decode(bytes + '\n');
        expected.chop(1);

        Cp950Decoder decoder;
        QString text;
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype n = std::min<qsizetype>(pieceLength(random), bytes.size() - at);
            text += decoder.decode(QByteArrayView(bytes).sliced(at, n));
            at += n;
        }
        text += decoder.finish();
        ASSERT_EQ(text, expected) << bytes.toHex(' ').toStdString();
        EXPECT_EQ(decoder.undecodableByteCount(), expected.count(replacement));
    }
}
