// The "KeyposeSequencerPalette" panel, built in code: the transport and record buttons, the
// step field and the play-direction control along the top; the time slider over the
// timeline; the name column and the timeline (in a scroll view) side by side in a split
// view; and a drawer with the minimum, current and maximum time in seconds and the speed.
// Every control is connected to the owner's action for it.
#pragma once

#include <memory>

#include "host/cocoa/ns_window.h"

class KeyposeSequencerPaletteController;

inline constexpr char kPaletteNibName[] = "KeyposeSequencerPalette";

// The panel, not yet shown; its drawer (which the owner keeps) is attached and closed.
std::unique_ptr<NSPanel> LoadKeyposeSequencerPalette(KeyposeSequencerPaletteController& owner);
