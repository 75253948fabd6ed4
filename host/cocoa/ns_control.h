// Controls: views with a value that send an action to a target when the user changes it.
// The value is kept as text or as a number, whichever the control is made for; the other
// accessors convert.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "host/cocoa/ns_view.h"

class NSControl : public NSView {
public:
    using Action = std::function<void(NSObject* sender)>;

    explicit NSControl(NSRect frame = NSZeroRect) : NSView(frame) {}

    // The action with the control as its sender. The target is only remembered, for
    // whoever asks which object answers the control.
    void setAction(Action action) { fAction = std::move(action); }
    void setTarget(NSObject* target) { fTarget = target; }
    template <class T>
    void setTargetAction(T* target, void (T::*method)(NSObject*)) {
        fTarget = target;
        fAction = [target, method](NSObject* sender) { (target->*method)(sender); };
    }
    NSObject* target() const { return fTarget; }
    bool hasAction() const { return static_cast<bool>(fAction); }
    // Sends the action; false when the control has none or is disabled.
    bool sendAction();
    // Acts as if the user had clicked the control.
    virtual void performClick(NSObject* sender);

    bool isEnabled() const { return fEnabled; }
    void setEnabled(bool enabled);
    bool isContinuous() const { return fContinuous; }
    void setContinuous(bool continuous) { fContinuous = continuous; }

    virtual std::string stringValue() const { return fText; }
    virtual void setStringValue(std::string_view text);
    virtual double doubleValue() const;
    virtual void setDoubleValue(double value);
    float floatValue() const { return static_cast<float>(doubleValue()); }
    void setFloatValue(float value);
    int intValue() const { return static_cast<int>(doubleValue()); }
    void setIntValue(int value) { setDoubleValue(value); }

private:
    Action fAction;
    NSObject* fTarget = nullptr;
    bool fEnabled = true;
    bool fContinuous = false;
    std::string fText;
};

// Text for a number the way controls show it: the shortest text that reads back as the same
// float ("2.5", "0.1", "600").
std::string NSFormatFloat(float value);
