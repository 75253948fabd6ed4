#include <array>

#include "host/keyboard.h"
#include "refhost/input/keyboard_state.h"

namespace {

// The key map as four 32-bit words of 32 keys each.
std::array<uint32_t, 4>& KeyMap() {
    static std::array<uint32_t, 4> keys{};
    return keys;
}

} // namespace

bool KeyIsDown(uint16_t keyCode, int16_t keyMapLongs) {
    unsigned word = keyCode / 32u;
    if (keyMapLongs <= 0 || word >= KeyMap().size() || word >= static_cast<unsigned>(keyMapLongs)) {
        return false;
    }
    return (KeyMap()[word] >> (keyCode % 32u)) & 1u;
}

namespace refhost::keyboard {

void SetKeyDown(uint16_t keyCode, bool down) {
    unsigned word = keyCode / 32u;
    if (word >= KeyMap().size()) {
        return;
    }
    uint32_t bit = 1u << (keyCode % 32u);
    KeyMap()[word] = down ? (KeyMap()[word] | bit) : (KeyMap()[word] & ~bit);
}

void ReleaseAllKeys() {
    KeyMap().fill(0);
}

} // namespace refhost::keyboard
