#include <gtest/gtest.h>

#include <cstring>

#include "plugin/registration.h"

TEST(Registration, NameIsA64BytePascalStringPaddedWithZeros) {
    Str63 name;
    std::memset(name, 0xEE, sizeof name);
    MakeRegistrationName(name);
    EXPECT_EQ(name[0], 26);
    EXPECT_EQ(std::memcmp(name + 1, "Quillfern:KeyposeSequencer", 26), 0);
    for (std::size_t i = 27; i < sizeof name; ++i) {
        EXPECT_EQ(name[i], 0) << "byte " << i;
    }
    EXPECT_EQ(kRegistrationVersion, 0x1000);
}
