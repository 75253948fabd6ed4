#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/number_text.h"
#include "host/pascal_string.h"

TEST(PascalString, HoldsUpTo255CharactersWithTheLengthFirst) {
    CStr255 empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.ToString(), "");

    CStr255 name("Camera");
    EXPECT_EQ(name.Length(), 6u);
    EXPECT_EQ(name.Pascal()[0], 6);
    EXPECT_EQ(name.Pascal()[1], 'C');
    EXPECT_EQ(name.ToString(), "Camera");
    EXPECT_EQ(CStr255::FromPascal(name.Pascal()), name);
    EXPECT_EQ(CStr255::FromPascal(nullptr), empty);

    std::string long_text(300, 'x');
    long_text[254] = 'y';
    CStr255 cut(long_text);
    EXPECT_EQ(cut.Length(), 255u);
    EXPECT_EQ(cut.ToString().back(), 'y');

    std::string with_nul("a\0b", 3);
    EXPECT_EQ(CStr255(with_nul).Length(), 3u) << "a Pascal string may hold any byte";
}

TEST(NumberText, EStrWritesTheGivenDecimals) {
    EXPECT_EQ(EStr(4, 1, 1).ToString(), "4.0");
    EXPECT_EQ(EStr(0, 1, 1).ToString(), "0.0");
    EXPECT_EQ(EStr(0.5, 1, 1).ToString(), "0.5");
    EXPECT_EQ(EStr(-0.25, 2, 1).ToString(), "-0.25");
    EXPECT_EQ(EStr(2.0 / 3.0, 3, 1).ToString(), "0.667");
    EXPECT_EQ(EStr(7.5, 0, 3).ToString(), "008");
    EXPECT_EQ(EStr(-7.25, 1, 3).ToString(), "-007.2");
    EXPECT_EQ(EStr(-0.01, 1, 1).ToString(), "0.0") << "no negative zero";
    EXPECT_EQ(EStr(2048, 1, 1).ToString(), "2048.0");
    EXPECT_EQ(EStr(1e300, 2, 1).Length(), 255u) << "cut at 255 characters";
    EXPECT_EQ(EStr(NAN, 1, 1).ToString(), "nan");
    EXPECT_EQ(EStr(-INFINITY, 1, 1).ToString(), "-inf");
}

TEST(NumberText, StrToExtReadsTheLeadingNumberOrGivesZero) {
    EXPECT_EQ(StrToExt("2"), 2.0);
    EXPECT_EQ(StrToExt("  2.5 s"), 2.5);
    EXPECT_EQ(StrToExt("-0.125"), -0.125);
    EXPECT_EQ(StrToExt("+3"), 3.0);
    EXPECT_EQ(StrToExt(".5"), 0.5);
    EXPECT_EQ(StrToExt("1e3"), 1000.0);
    EXPECT_EQ(StrToExt(""), 0.0);
    EXPECT_EQ(StrToExt("seconds"), 0.0);
    EXPECT_EQ(StrToExt("-"), 0.0);
    EXPECT_EQ(StrToExt("+-1"), 0.0);
    EXPECT_EQ(StrToExt("nan"), 0.0);
    EXPECT_EQ(StrToExt("inf"), 0.0);
    EXPECT_TRUE(std::isinf(StrToExt("1e999")));
    EXPECT_EQ(StrToExt(EStr(12.75, 2, 1)), 12.75) << "EStr's text reads back";
}
