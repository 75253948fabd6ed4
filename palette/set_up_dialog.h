// Making the palette at load.
#pragma once

class NSPanel;
class KeyposeSequencerPaletteController;

// The palette panel, and the controller that owns it; both live from load to unload.
extern NSPanel* gPalette;
extern KeyposeSequencerPaletteController* gKeyposeSequencerPaletteController;

// Creates the controller, loads the palette, lists it in the host's palette menu, shows
// stop as pressed and brings the panel to the front. False when the panel could not be made.
bool SetUpDialog();
