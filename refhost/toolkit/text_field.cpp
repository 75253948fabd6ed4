#include "host/cocoa/ns_text_field.h"

#include "host/cocoa/ns_event.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_string.h"
#include "host/cocoa/ns_window.h"

std::unique_ptr<NSTextField> NSTextField::labelWithString(std::string text, NSRect frame) {
    auto label = std::make_unique<NSTextField>(frame);
    label->setEditable(false);
    label->setBezeled(false);
    label->setDrawsBackground(false);
    label->setStringValue(text);
    return label;
}

void NSTextField::setStringValue(std::string_view text) {
    NSControl::setStringValue(text);
    fCaret = text.size();
    fAllSelected = fEditing;
}

double NSTextField::doubleValue() const {
    return NSParseLeadingNumber(stringValue());
}

void NSTextField::setDoubleValue(double value) {
    setStringValue(NSFormatFloat(static_cast<float>(value)));
}

bool NSTextField::becomeFirstResponder() {
    fEditing = true;
    fAllSelected = true;
    fChanged = false;
    fCaret = stringValue().size();
    setNeedsDisplay(true);
    return true;
}

bool NSTextField::resignFirstResponder() {
    bool const changed = fChanged;
    fEditing = false;
    fAllSelected = false;
    fChanged = false;
    setNeedsDisplay(true);
    // Leaving a field that was typed into commits what was typed.
    if (changed) {
        sendAction();
    }
    return true;
}

void NSTextField::mouseDown(NSEvent*) {
    // The window has made an editable field the first responder already; a click inside a
    // field being edited keeps editing.
}

namespace {

// Length in bytes of the UTF-8 sequence that ends at `end`.
std::size_t PreviousCharacterLength(std::string const& text, std::size_t end) {
    std::size_t start = end;
    while (start > 0) {
        --start;
        if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) {
            break;
        }
    }
    return end - start;
}

std::size_t NextCharacterLength(std::string const& text, std::size_t start) {
    if (start >= text.size()) {
        return 0;
    }
    std::size_t end = start + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return end - start;
}

// The key's single character as a UTF-16 unit when it is one of the function keys, else 0.
char16_t FunctionKey(std::string const& characters) {
    if (characters.size() == 1) {
        return static_cast<char16_t>(static_cast<unsigned char>(characters[0]));
    }
    // The arrow keys arrive as the private-use characters U+F702 and U+F703.
    if (characters.size() == 3 && static_cast<unsigned char>(characters[0]) == 0xEF) {
        auto const b1 = static_cast<unsigned char>(characters[1]);
        auto const b2 = static_cast<unsigned char>(characters[2]);
        return static_cast<char16_t>(0xF000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
    }
    return 0;
}

} // namespace

void NSTextField::insertText(std::string_view text) {
    std::string value = stringValue();
    if (fAllSelected) {
        value.clear();
        fCaret = 0;
        fAllSelected = false;
    }
    value.insert(fCaret, text);
    std::size_t const caret = fCaret + text.size();
    NSControl::setStringValue(value);
    fCaret = caret;
    fChanged = true;
}

void NSTextField::deleteBackward() {
    std::string value = stringValue();
    if (fAllSelected) {
        value.clear();
        fCaret = 0;
        fAllSelected = false;
    } else if (fCaret > 0) {
        std::size_t const n = PreviousCharacterLength(value, fCaret);
        value.erase(fCaret - n, n);
        fCaret -= n;
    }
    std::size_t const caret = fCaret;
    NSControl::setStringValue(value);
    fCaret = caret;
    fChanged = true;
}

void NSTextField::deleteForward() {
    std::string value = stringValue();
    if (fAllSelected) {
        deleteBackward();
        return;
    }
    value.erase(fCaret, NextCharacterLength(value, fCaret));
    std::size_t const caret = fCaret;
    NSControl::setStringValue(value);
    fCaret = caret;
    fChanged = true;
}

void NSTextField::keyDown(NSEvent* event) {
    if (!fEditing) {
        NSControl::keyDown(event);
        return;
    }
    std::string const& characters = event->characters();
    switch (FunctionKey(characters)) {
    case NSCarriageReturnCharacter:
    case NSEnterCharacter:
        fChanged = false;
        sendAction();
        fAllSelected = true;
        setNeedsDisplay(true);
        return;
    case NSTabCharacter:
        if (NSWindow* w = window()) {
            w->makeFirstResponder(fNextKeyView);
        }
        return;
    case NSDeleteCharacter:
    case NSBackspaceCharacter:
        deleteBackward();
        return;
    case NSLeftArrowFunctionKey:
        if (fAllSelected) {
            fAllSelected = false;
            fCaret = 0;
        } else if (fCaret > 0) {
            fCaret -= PreviousCharacterLength(stringValue(), fCaret);
        }
        setNeedsDisplay(true);
        return;
    case NSRightArrowFunctionKey:
        fAllSelected = false;
        fCaret += NextCharacterLength(stringValue(), fCaret);
        setNeedsDisplay(true);
        return;
    default:
        break;
    }
    // Other control characters and function keys are not text.
    if (characters.empty() || static_cast<unsigned char>(characters[0]) < 0x20 ||
        (FunctionKey(characters) >= 0xF700)) {
        NSControl::keyDown(event);
        return;
    }
    insertText(characters);
}

void NSTextField::drawRect(NSRect const&) {
    NSRect const b = bounds();
    if (fDrawsBackground) {
        fBackground.setFill();
        NSRectFill(b);
    }
    if (fBezeled) {
        NSColor::controlShadowColor().setFill();
        NSFrameRect(b);
    }
    std::string const text = stringValue();
    CGFloat const x = b.origin.x + (fBezeled ? 4 : 2);
    CGFloat const baseline = NSMidY(b) - 4;
    if (fEditing && fAllSelected && !text.empty()) {
        NSColor::selectedTextBackgroundColor().setFill();
        NSRectFill(NSMakeRect(x - 1, NSMidY(b) - 7, NSTextSize(text).width + 2, 14));
    }
    (isEnabled() ? fTextColour : NSColor::grayColor()).setFill();
    NSDrawText(text, NSMakePoint(x, baseline));
    if (fEditing && !fAllSelected) {
        CGFloat const caretX = x + NSTextSize(std::string_view(text).substr(0, fCaret)).width;
        NSColor::blackColor().setFill();
        NSRectFill(NSMakeRect(caretX, NSMidY(b) - 7, 1, 14));
    }
}
