#include <gtest/gtest.h>

#include "text/text_file.h"

using namespace korvane::text;

TEST(TextFile, Big5IsReadAsCp950AndWrittenBackByteForByte) {
  const QByteArray big5("P1,\xA4\x40\xB8\xB9,2543210.123\r\n\xF9\xF9\r\n");
  const DecodedText decoded = decodeTextFile(big5);
  EXPECT_EQ(decoded.encoding, TextEncoding::Cp950);
  EXPECT_EQ(decoded.text, QString::fromUtf8("P1,一號,2543210.123\r\n\u2550\r\n"));
  const Cp950Encoding written = encodeText(decoded.text, decoded.encoding);
  ASSERT_TRUE(written.ok());
  EXPECT_EQ(written.bytes, big5);
}

TEST(TextFile, Utf8WithNonAsciiStaysUtf8) {
  const QByteArray utf8 = QString::fromUtf8("P1,é,一\r\n").toUtf8();
  const DecodedText decoded = decodeTextFile(utf8);
  EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
  EXPECT_EQ(decoded.text, QString::fromUtf8("P1,é,一\r\n"));
  EXPECT_EQ(encodeText(decoded.text, decoded.encoding).bytes, utf8);
  // The same text cannot go to CP950 without losing the é: that is reported, not replaced.
  const Cp950Encoding asBig5 = encodeText(decoded.text, TextEncoding::Cp950);
  EXPECT_FALSE(asBig5.ok());
  EXPECT_EQ(asBig5.unencodableAt, 3);
}

TEST(TextFile, PlainAsciiIsCp950AndAByteOrderMarkIsDropped) {
  EXPECT_EQ(decodeTextFile("A,1,2\r\n").encoding, TextEncoding::Cp950);
  const DecodedText withMark = decodeTextFile("\xEF\xBB\xBFP\xC3\xA9");
  EXPECT_EQ(withMark.encoding, TextEncoding::Utf8);
  EXPECT_EQ(withMark.text, QString::fromUtf8("Pé"));
}
