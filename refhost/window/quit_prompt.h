// The question asked before quitting with unsaved changes: a panel of the view toolkit with the
// question and three buttons, Save, Don't Save and Cancel. It takes the keyboard: Tab and
// shift-Tab move the focus between the buttons (Save has it first, shown pressed), Return or
// space presses the focused one, Escape cancels; a click presses a button too.
#pragma once

#include <SDL.h>

#include <array>
#include <memory>
#include <string>

#include "host/cocoa/cocoa.h"

namespace refhost::window {

class QuitPrompt {
public:
    enum class Answer { none, save, dontSave, cancel };

    // The panel at the screen's rectangle (the toolkit's coordinates), not yet shown.
    QuitPrompt(NSRect frame, std::string const& question);

    NSPanel& Panel() { return *fPanel; }
    // A key pressed while the prompt is up (from any window: the prompt has the keyboard);
    // the answer, or none when the key only moved the focus or means nothing here.
    Answer Key(SDL_Keycode key, bool shift);
    // The answer a click on a button gave; none until then.
    Answer Clicked() const { return fClicked; }
    // The focused button: 0 Save, 1 Don't Save, 2 Cancel.
    int Focus() const { return fFocus; }

private:
    void SetFocus(int focus);

    std::unique_ptr<NSPanel> fPanel;
    std::array<NSButton*, 3> fButtons{};
    int fFocus = 0;
    Answer fClicked = Answer::none;
};

} // namespace refhost::window
