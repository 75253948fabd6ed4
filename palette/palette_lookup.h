// Finding the palette's controls: by tag in the panel's content view, or in the content
// view of its last drawer. Each gives null when the panel (or the control) is missing, so
// that every action skips a control the panel lacks.
#pragma once

class NSView;

NSView* PaletteViewWithTag(long tag);
NSView* DrawerViewWithTag(long tag);

template <typename Control>
Control* PaletteControl(long tag) {
    return dynamic_cast<Control*>(PaletteViewWithTag(tag));
}

template <typename Control>
Control* DrawerControl(long tag) {
    return dynamic_cast<Control*>(DrawerViewWithTag(tag));
}
