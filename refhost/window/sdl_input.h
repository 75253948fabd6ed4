// SDL's keyboard and mouse values as the view toolkit and the host's keyboard record know
// them. Pure functions.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "host/cocoa/ns_event.h"

namespace refhost::window {

// The toolkit's modifier flags of SDL's modifier state (shift, control, option for alt,
// command for the GUI key).
NSEventModifierFlags ModifierFlags(uint16_t sdlModifiers);

// The characters the toolkit gives a key that types no text (return, tab, delete and
// backspace, the arrows); empty for keys whose text comes as text input, or that have none.
std::string FunctionKeyCharacters(SDL_Keycode key);

// The character of a printable key held with control or command (the text input gives none
// then); empty otherwise.
std::string CommandKeyCharacters(SDL_Keycode key, uint16_t sdlModifiers);

// The host keyboard's code of a modifier key (host/keyboard.h); 0 for other keys.
uint16_t ModifierKeyCode(SDL_Keycode key);

} // namespace refhost::window
