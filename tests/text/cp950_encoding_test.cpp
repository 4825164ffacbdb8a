#include "text/cp950.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

using korvane::text::decodeCp950;
using korvane::text::encodeCp950;

TEST(Cp950Encoding, WritesTheWindowsTable)
{
    const auto boxLine = encodeCp950(QString(QChar(0x2550)));
    ASSERT_TRUE(boxLine.ok());
    EXPECT_EQ(boxLine.bytes, QByteArray("\xF9\xF9"));
    EXPECT_EQ(encodeCp950(u"一").bytes, QByteArray("\xA4\x40"));
    EXPECT_EQ(encodeCp950(u"一").describe(), u"");
}

TEST(Cp950Encoding, ControlCharactersPassBothWaysUnchanged)
{
    const QByteArray controls("\x03\x04\r\n\x06\x00", 6);
    EXPECT_EQ(decodeCp950(controls), QString::fromLatin1(controls));
    EXPECT_EQ(encodeCp950(QString::fromLatin1(controls)).bytes, controls);
}

TEST(Cp950Encoding, MixedTextRoundTripsByteForByte)
{
    const QByteArray bytes("\x02\xB4\xFA\xAF\xB8 A12\t\xBB\xF6\xBE\xB9 \xA4\xF4\xB7\xC7 +0001234568 "
                           "\xF9\xF9\xB0\xAA\xB5\x7B\x03\r\n");
    int undecodable = -1;
    const QString text = decodeCp950(bytes, &undecodable);
    EXPECT_EQ(undecodable, 0);
    const auto encoded = encodeCp950(text);
    EXPECT_TRUE(encoded.ok());
    EXPECT_EQ(encoded.bytes.toHex(' '), bytes.toHex(' '));
}

TEST(Cp950Encoding, ReportsTheFirstCharacterWithoutAForm)
{
    const auto accent = encodeCp950(u"測站 é è");
    EXPECT_FALSE(accent.ok());
    EXPECT_EQ(accent.unencodableAt, 3);
    EXPECT_EQ(accent.unencodable, u"é");
    EXPECT_EQ(accent.bytes, QByteArray("\xB4\xFA\xAF\xB8 ? ?"));
    EXPECT_EQ(accent.describe(), u"字元「é」(U+00E9) 無法以 Big5 (CP950) 表示");

    const auto emoji = encodeCp950(u"A😀B");
    EXPECT_EQ(emoji.unencodableAt, 1);
    EXPECT_EQ(emoji.unencodable, u"😀");
    EXPECT_EQ(emoji.bytes, QByteArray("A?B"));
    EXPECT_TRUE(emoji.describe().contains(u"U+1F600"));
}

TEST(Cp950Encoding, ReplacementCharacterIsNotEncodable)
{
    const auto encoded = encodeCp950(u"AB\uFFFD");
    EXPECT_EQ(encoded.unencodableAt, 2);
    EXPECT_EQ(encoded.unencodable, QString(QChar::ReplacementCharacter));
}

TEST(Cp950Encoding, LoneSurrogatesAreNotEncodable)
{
    // A high surrogate at the very end is one the converter drops unflagged.
    const auto trailing = encodeCp950(QStringLiteral("A?") + QChar(0xD83D));
    EXPECT_EQ(trailing.unencodableAt, 2);
    EXPECT_EQ(trailing.bytes, QByteArray("A??"));
    EXPECT_EQ(trailing.describe(), u"字元 (U+D83D) 無法以 Big5 (CP950) 表示");

    const auto inner = encodeCp950(QStringLiteral("A") + QChar(0xDE00) + u'B');
    EXPECT_EQ(inner.unencodableAt, 1);
}
