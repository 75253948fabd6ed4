// Text fields, editable or as labels. A click makes an editable field the first responder
// with its whole text selected, so typing replaces it; keys then edit the text (printable
// characters insert, delete and backspace remove, the arrows move the insertion point).
// Return sends the action; tab sends it and moves to the next key view; leaving the field
// after changing its text sends it too.
#pragma once

#include <string>

#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_control.h"

class NSTextField : public NSControl {
public:
    explicit NSTextField(NSRect frame = NSZeroRect) : NSControl(frame) {}
    // A field that only shows its text: not editable, no bezel, no background.
    static std::unique_ptr<NSTextField> labelWithString(std::string text, NSRect frame);

    bool isEditable() const { return fEditable; }
    void setEditable(bool editable) { fEditable = editable; }
    bool isBezeled() const { return fBezeled; }
    void setBezeled(bool bezeled) { fBezeled = bezeled; }
    bool drawsBackground() const { return fDrawsBackground; }
    void setDrawsBackground(bool draws) { fDrawsBackground = draws; }
    NSColor backgroundColor() const { return fBackground; }
    void setBackgroundColor(NSColor colour) { fBackground = colour; }
    NSColor textColor() const { return fTextColour; }
    void setTextColor(NSColor colour) { fTextColour = colour; }
    NSView* nextKeyView() const { return fNextKeyView; }
    void setNextKeyView(NSView* view) { fNextKeyView = view; }

    void setStringValue(std::string_view text) override;
    double doubleValue() const override;
    void setDoubleValue(double value) override;

    // While editing: the insertion point (a byte offset) and whether everything is selected.
    bool isEditing() const { return fEditing; }
    std::size_t insertionPoint() const { return fCaret; }
    bool hasSelectedAll() const { return fAllSelected; }

    bool acceptsFirstResponder() override { return fEditable && isEnabled(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void mouseDown(NSEvent* event) override;
    void keyDown(NSEvent* event) override;
    void drawRect(NSRect const& dirtyRect) override;

private:
    void insertText(std::string_view text);
    void deleteBackward();
    void deleteForward();

    bool fEditable = true;
    bool fBezeled = true;
    bool fDrawsBackground = true;
    NSColor fBackground = NSColor::colorWithDeviceWhite(1, 1);
    NSColor fTextColour = NSColor::colorWithDeviceWhite(0, 1);
    NSView* fNextKeyView = nullptr;
    bool fEditing = false;
    bool fAllSelected = false;
    bool fChanged = false;
    std::size_t fCaret = 0;
};
