#include <gtest/gtest.h>

#include "host/keyboard.h"
#include "refhost/input/keyboard_state.h"

using refhost::keyboard::HeldKey;

TEST(Keyboard, KeyIsDownReadsTheHostsKeyState) {
    refhost::keyboard::ReleaseAllKeys();
    EXPECT_FALSE(KeyIsDown(kOptionKeyCode, 4));
    {
        HeldKey option(kOptionKeyCode);
        EXPECT_TRUE(KeyIsDown(kOptionKeyCode, 4));
        EXPECT_FALSE(KeyIsDown(kShiftKeyCode, 4));
        EXPECT_TRUE(KeyIsDown(kOptionKeyCode, 2)) << "0x3A lies in the second word";
        EXPECT_FALSE(KeyIsDown(kOptionKeyCode, 1)) << "beyond a one-word map";
    }
    EXPECT_FALSE(KeyIsDown(kOptionKeyCode, 4));

    refhost::keyboard::SetKeyDown(127, true);
    EXPECT_TRUE(KeyIsDown(127, 4));
    refhost::keyboard::SetKeyDown(200, true); // beyond the map: ignored
    EXPECT_FALSE(KeyIsDown(200, 4));
    refhost::keyboard::ReleaseAllKeys();
    EXPECT_FALSE(KeyIsDown(127, 4));
}
