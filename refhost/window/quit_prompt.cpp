#include "refhost/window/quit_prompt.h"

namespace refhost::window {

namespace {

constexpr float kMargin = 12;
constexpr float kButtonWidth = 96;
constexpr float kButtonHeight = 26;

constexpr std::array<QuitPrompt::Answer, 3> kAnswers{
    QuitPrompt::Answer::save, QuitPrompt::Answer::dontSave, QuitPrompt::Answer::cancel};
constexpr std::array<char const*, 3> kTitles{"Save", "Don't Save", "Cancel"};

} // namespace

QuitPrompt::QuitPrompt(NSRect frame, std::string const& question)
    : fPanel(std::make_unique<NSPanel>(frame, NSWindowStyleMaskTitled)) {
    fPanel->setTitle("Save changes?");
    NSView* content = fPanel->contentView();
    content->addSubview(
        NSTextField::labelWithString(question, NSMakeRect(kMargin, frame.size.height - kMargin - 22,
                                                          frame.size.width - 2 * kMargin, 22)));
    float x = frame.size.width - kMargin - 3 * kButtonWidth - 2 * 8;
    for (std::size_t i = 0; i < fButtons.size(); ++i) {
        auto* button = content->addSubview(
            std::make_unique<NSButton>(NSMakeRect(x, kMargin, kButtonWidth, kButtonHeight)));
        button->setTitle(kTitles[i]);
        Answer const answer = kAnswers[i];
        button->setAction([this, answer](NSObject*) { fClicked = answer; });
        fButtons[i] = button;
        x += kButtonWidth + 8;
    }
    SetFocus(0);
}

QuitPrompt::Answer QuitPrompt::Key(SDL_Keycode key, bool shift) {
    switch (key) {
    case SDLK_TAB:
        SetFocus((fFocus + (shift ? 2 : 1)) % 3);
        return Answer::none;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
        return kAnswers[static_cast<std::size_t>(fFocus)];
    case SDLK_ESCAPE:
        return Answer::cancel;
    default:
        return Answer::none;
    }
}

void QuitPrompt::SetFocus(int focus) {
    fFocus = focus;
    for (std::size_t i = 0; i < fButtons.size(); ++i) {
        fButtons[i]->highlight(static_cast<int>(i) == focus);
        fButtons[i]->setNeedsDisplay(true);
    }
}

} // namespace refhost::window
