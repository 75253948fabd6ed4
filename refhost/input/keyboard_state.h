// The reference host's record of which keys are held, which KeyIsDown reads. The host
// program sets it from its window events; tests set it directly.
#pragma once

#include <cstdint>

namespace refhost::keyboard {

// Key codes 0..127; other codes are ignored.
void SetKeyDown(uint16_t keyCode, bool down);
void ReleaseAllKeys();

// Holds a key down for as long as it lives.
class HeldKey {
public:
    explicit HeldKey(uint16_t keyCode) : fKeyCode(keyCode) { SetKeyDown(keyCode, true); }
    HeldKey(HeldKey const&) = delete;
    HeldKey& operator=(HeldKey const&) = delete;
    ~HeldKey() { SetKeyDown(fKeyCode, false); }

private:
    uint16_t fKeyCode;
};

} // namespace refhost::keyboard
