#include <gtest/gtest.h>

#include "host/four_char_code.h"

TEST(FourCharCode, FirstCharacterIsTheMostSignificantByte) {
    static_assert("xfrm"_4cc == 0x7866726D);
    static_assert("box "_4cc == 0x626F7820);
    static_assert("nrbc"_4cc == 0x6E726263 && "nrbp"_4cc == 0x6E726270);
    static_assert("trng"_4cc == 0x74726E67);
    static_assert(MakeFourCharCode('g', 'r', 'u', 'p') == "grup"_4cc);
    static_assert("ambn"_4cc < "drct"_4cc, "codes sort as their text");
    EXPECT_EQ(FourCharCodeText("spot"_4cc), "spot");
    EXPECT_EQ(FourCharCodeText("box "_4cc), "box ");
}
