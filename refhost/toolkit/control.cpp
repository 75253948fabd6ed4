#include "host/cocoa/ns_control.h"

#include "host/cocoa/ns_string.h"

bool NSControl::sendAction() {
    if (!fAction || !fEnabled) {
        return false;
    }
    // The action may replace the control's action; keep the one being run alive.
    Action const action = fAction;
    action(this);
    return true;
}

void NSControl::performClick(NSObject*) {
    sendAction();
}

void NSControl::setEnabled(bool enabled) {
    if (enabled != fEnabled) {
        fEnabled = enabled;
        setNeedsDisplay(true);
    }
}

void NSControl::setStringValue(std::string_view text) {
    fText = std::string(text);
    setNeedsDisplay(true);
}

double NSControl::doubleValue() const {
    return NSParseLeadingNumber(stringValue());
}

void NSControl::setDoubleValue(double value) {
    setStringValue(NSFormatFloat(static_cast<float>(value)));
}

void NSControl::setFloatValue(float value) {
    setDoubleValue(value);
}
