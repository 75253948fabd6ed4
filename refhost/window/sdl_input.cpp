#include "refhost/window/sdl_input.h"

#include "host/keyboard.h"

namespace refhost::window {

namespace {

std::string Utf8(char16_t c) {
    std::string text;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

} // namespace

NSEventModifierFlags ModifierFlags(uint16_t sdlModifiers) {
    NSEventModifierFlags flags = 0;
    if (sdlModifiers & KMOD_SHIFT) {
        flags |= NSEventModifierFlagShift;
    }
    if (sdlModifiers & KMOD_CTRL) {
        flags |= NSEventModifierFlagControl;
    }
    if (sdlModifiers & KMOD_ALT) {
        flags |= NSEventModifierFlagOption;
    }
    if (sdlModifiers & KMOD_GUI) {
        flags |= NSEventModifierFlagCommand;
    }
    if (sdlModifiers & KMOD_CAPS) {
        flags |= NSEventModifierFlagCapsLock;
    }
    return flags;
}

std::string FunctionKeyCharacters(SDL_Keycode key) {
    switch (key) {
    case SDLK_RETURN:
        return Utf8(NSCarriageReturnCharacter);
    case SDLK_KP_ENTER:
        return Utf8(NSEnterCharacter);
    case SDLK_TAB:
        return Utf8(NSTabCharacter);
    case SDLK_BACKSPACE:
    case SDLK_DELETE:
        // The toolkit's delete key is the one that deletes backwards.
        return Utf8(NSDeleteCharacter);
    case SDLK_LEFT:
        return Utf8(NSLeftArrowFunctionKey);
    case SDLK_RIGHT:
        return Utf8(NSRightArrowFunctionKey);
    default:
        return {};
    }
}

std::string CommandKeyCharacters(SDL_Keycode key, uint16_t sdlModifiers) {
    if (!(sdlModifiers & (KMOD_CTRL | KMOD_GUI)) || key < 0x21 || key > 0x7e) {
        return {};
    }
    return std::string(1, static_cast<char>(key));
}

uint16_t ModifierKeyCode(SDL_Keycode key) {
    switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return kShiftKeyCode;
    case SDLK_LALT:
    case SDLK_RALT:
        return kOptionKeyCode;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return kControlKeyCode;
    case SDLK_LGUI:
    case SDLK_RGUI:
        return kCommandKeyCode;
    default:
        return 0;
    }
}

} // namespace refhost::window
