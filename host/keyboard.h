// The state of the keyboard's keys, by Mac virtual key code.
#pragma once

#include <cstdint>

inline constexpr uint16_t kCommandKeyCode = 0x37;
inline constexpr uint16_t kShiftKeyCode = 0x38;
inline constexpr uint16_t kOptionKeyCode = 0x3A;
inline constexpr uint16_t kControlKeyCode = 0x3B;

// Whether the key is held now. keyMapLongs is the length of the key map to consult in
// 32-bit words: 4 covers every key code 0..127; a code beyond the map reads as up.
bool KeyIsDown(uint16_t keyCode, int16_t keyMapLongs);
