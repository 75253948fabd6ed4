// A row of segments of which one is selected. A click selects the segment under the mouse
// and sends the action.
#pragma once

#include <string>
#include <vector>

#include "host/cocoa/ns_control.h"

class NSSegmentedControl : public NSControl {
public:
    explicit NSSegmentedControl(NSRect frame = NSZeroRect) : NSControl(frame) {}

    long segmentCount() const { return static_cast<long>(fLabels.size()); }
    void setSegmentCount(long count);
    void setLabel(std::string label, long segment);
    std::string labelForSegment(long segment) const;
    // -1 when no segment is selected.
    long selectedSegment() const { return fSelected; }
    void setSelectedSegment(long segment);
    // The segment under a point in the control's coordinates, or -1.
    long segmentForPoint(NSPoint point) const;
    NSRect rectForSegment(long segment) const;

    double doubleValue() const override { return static_cast<double>(fSelected); }
    void setDoubleValue(double value) override { setSelectedSegment(static_cast<long>(value)); }

    void mouseDown(NSEvent* event) override;
    void drawRect(NSRect const& dirtyRect) override;

private:
    std::vector<std::string> fLabels;
    long fSelected = -1;
};
