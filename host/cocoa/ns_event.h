// Mouse and key events as the windows deliver them. Locations are in the window's
// coordinates (origin at the bottom left of its content, y upwards).
#pragma once

#include <cstdint>
#include <string>

#include "host/cocoa/geometry.h"

enum class NSEventType {
    leftMouseDown,
    leftMouseUp,
    leftMouseDragged,
    mouseMoved,
    keyDown,
    keyUp,
    scrollWheel,
};

using NSEventModifierFlags = uint32_t;
inline constexpr NSEventModifierFlags NSEventModifierFlagCapsLock = 1u << 16;
inline constexpr NSEventModifierFlags NSEventModifierFlagShift = 1u << 17;
inline constexpr NSEventModifierFlags NSEventModifierFlagControl = 1u << 18;
inline constexpr NSEventModifierFlags NSEventModifierFlagOption = 1u << 19;
inline constexpr NSEventModifierFlags NSEventModifierFlagCommand = 1u << 20;
// The earlier names of the same flags.
inline constexpr NSEventModifierFlags NSShiftKeyMask = NSEventModifierFlagShift;
inline constexpr NSEventModifierFlags NSAlternateKeyMask = NSEventModifierFlagOption;
inline constexpr NSEventModifierFlags NSCommandKeyMask = NSEventModifierFlagCommand;

// Masks of event types, for taking events from the queue.
using NSEventMask = uint32_t;
constexpr NSEventMask NSEventMaskFromType(NSEventType type) {
    return 1u << static_cast<unsigned>(type);
}
inline constexpr NSEventMask NSEventMaskAny = 0xFFFFFFFFu;

// Characters of keys without a printable character.
inline constexpr char16_t NSDeleteCharacter = 0x7F;
inline constexpr char16_t NSBackspaceCharacter = 0x08;
inline constexpr char16_t NSCarriageReturnCharacter = 0x0D;
inline constexpr char16_t NSEnterCharacter = 0x03;
inline constexpr char16_t NSTabCharacter = 0x09;
inline constexpr char16_t NSLeftArrowFunctionKey = 0xF702;
inline constexpr char16_t NSRightArrowFunctionKey = 0xF703;

class NSEvent {
public:
    static NSEvent mouseEventWithType(NSEventType type, NSPoint location,
                                      NSEventModifierFlags flags, long windowNumber,
                                      int clickCount = 1) {
        NSEvent event;
        event.fType = type;
        event.fLocation = location;
        event.fFlags = flags;
        event.fWindowNumber = windowNumber;
        event.fClickCount = clickCount;
        return event;
    }
    // The characters are UTF-8; the key code is the keyboard's virtual key code.
    static NSEvent keyEventWithType(NSEventType type, NSEventModifierFlags flags, long windowNumber,
                                    std::string characters, uint16_t keyCode = 0) {
        NSEvent event;
        event.fType = type;
        event.fFlags = flags;
        event.fWindowNumber = windowNumber;
        event.fCharacters = std::move(characters);
        event.fKeyCode = keyCode;
        return event;
    }

    NSEventType type() const { return fType; }
    NSPoint locationInWindow() const { return fLocation; }
    NSEventModifierFlags modifierFlags() const { return fFlags; }
    long windowNumber() const { return fWindowNumber; }
    int clickCount() const { return fClickCount; }
    std::string const& characters() const { return fCharacters; }
    std::string const& charactersIgnoringModifiers() const { return fCharacters; }
    uint16_t keyCode() const { return fKeyCode; }
    // Scroll-wheel travel in pixels.
    CGFloat deltaX() const { return fDeltaX; }
    CGFloat deltaY() const { return fDeltaY; }
    void setDelta(CGFloat dx, CGFloat dy) {
        fDeltaX = dx;
        fDeltaY = dy;
    }
    bool isMouseEvent() const {
        return fType == NSEventType::leftMouseDown || fType == NSEventType::leftMouseUp ||
               fType == NSEventType::leftMouseDragged || fType == NSEventType::mouseMoved ||
               fType == NSEventType::scrollWheel;
    }

private:
    NSEventType fType = NSEventType::mouseMoved;
    NSPoint fLocation;
    NSEventModifierFlags fFlags = 0;
    long fWindowNumber = 0;
    int fClickCount = 0;
    std::string fCharacters;
    uint16_t fKeyCode = 0;
    CGFloat fDeltaX = 0;
    CGFloat fDeltaY = 0;
};
