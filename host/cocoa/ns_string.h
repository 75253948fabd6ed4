// Immutable text in UTF-8. Strings made by stringWithUTF8String live as long as the process
// and the same text gives the same object, so a pointer to one may be kept freely.
#pragma once

#include <string>
#include <string_view>

#include "host/cocoa/geometry.h"
#include "host/cocoa/ns_object.h"

class NSString : public NSObject {
public:
    static NSString* stringWithUTF8String(std::string_view text);

    std::string const& UTF8String() const { return fText; }
    std::size_t length() const { return fText.size(); }
    bool isEqualToString(NSString const* other) const {
        return other != nullptr && other->fText == fText;
    }
    // The number the text starts with, after white space; 0 when there is none.
    float floatValue() const;
    double doubleValue() const;
    int intValue() const;

    // Draws the text in the focused view with the toolkit's label font and the current fill
    // colour; the point is the left end of the baseline.
    void drawAtPoint(NSPoint point) const;
    // Width and height the text takes in the label font.
    NSSize size() const;

    explicit NSString(std::string text) : fText(std::move(text)) {}

private:
    std::string fText;
};

// The same measures for text that has no NSString.
void NSDrawText(std::string_view text, NSPoint point);
NSSize NSTextSize(std::string_view text);
// How far the label font reaches below its baseline.
CGFloat NSTextDescent();
// The number a text starts with, as NSString's floatValue reads it.
double NSParseLeadingNumber(std::string_view text);
