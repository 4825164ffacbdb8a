#include "text/number_text.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

using korvane::text::alignRight;
using korvane::text::formatText;

TEST(AlignRight, PadsOnTheLeft)
{
    EXPECT_EQ(alignRight(u"A12", 10), u"       A12");
    EXPECT_EQ(alignRight(u"", 10), QString(10, u' '));
    EXPECT_EQ(alignRight(u"測站", 4), u"  測站");
}

TEST(AlignRight, NeverCutsALongerText)
{
    EXPECT_EQ(alignRight(u"ABCDEFGHIJKL", 10), u"ABCDEFGHIJKL");
    EXPECT_EQ(alignRight(u"ABC", 0), u"ABC");
    EXPECT_EQ(alignRight(u"ABC", -1), u"ABC");
}

TEST(FormatText, FieldIsAsWideAsThePattern)
{
    EXPECT_EQ(formatText(u"A12", u"@@@@@@@@@@"), u"       A12");
    EXPECT_EQ(formatText(u"BM1", u"@@@"), u"BM1");
}
