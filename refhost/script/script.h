// Scripts: what a user does in the host, one command a line, so that whole sessions can be
// replayed, tested and used to make the examples. A line is a verb and its words; words are
// separated by spaces, "double quotes" keep spaces in a word, and # starts a comment.
//
// The commands (the verb table in script_verbs.cpp is where each is declared):
//
//   open PATH                    open a document (paths are relative to the script)
//   save [PATH]                  save the document (to its own file without a path)
//   time SECONDS                 set the current time (0 to a day, inside the range)
//   range START END              set the playback range, in seconds (0 to a day)
//   select NAME...               make these objects (by name) the selection
//   deselect                     select nothing
//   move X Y Z                   move the selection
//   turn x|y|z DEGREES           turn the selection about its centre
//   scale F | scale X Y Z        scale the selection about its centre
//   colour R G B                 the selection's diffuse colour (0..1)
//   specular R G B               the selection's specular colour
//   surface ambient|shininess|transparency VALUE
//   camera X Y Z  X Y Z [X Y Z]  place the view's camera: from, at, and the up vector
//   light ambient|sun|NAME on|off | brightness V | colour R G B
//                                the view's ambient or sun light, or the first light of the
//                                named object
//   effect colour HUE SATURATION LIGHTNESS   a colour that keeps turning (degrees and
//                                percent a second) on the selection's coloured geometry
//   effect texture SPEED DIRECTION TURN      a texture scrolling (widths a second, along
//                                DIRECTION degrees) and turning (degrees a second)
//   effect light HUE ON OFF PULSE            the selection's lights: hue turning, strobe
//                                seconds on and off (0 0 for none), pulse percent a second
//   effect none                  takes the selection's effects off
//   press TITLE|TAG              press a palette control ("Object", "+", 1005, ...)
//   click ROW SECONDS [shift]    click in the timeline: ROW is a row number (0 at the top)
//                                or "ruler"
//   drag ROW SECONDS ROW SECONDS [shift]
//   key R|delete|TEXT            type a key in the timeline
//   play SECONDS                 play forward for that long (up to a day)
//   undo, redo                   take back the last step (a recording, a timeline edit);
//                                put back what undo took back
//   scrub SECONDS                press and drag in the ruler to the time
//   copy, paste                  control-C, control-V in the timeline
//   ease linear|in|out|inout|hold  the selected tween points' ease (E, H)
//   snap on|off                  the palette's snap toggle
//   zoom fit                     F in the timeline
//   show NAME                    print the object's placement, diffuse colour and light; NAME
//                                camera, ambient or sun: the view's camera or light
//   palette PATH                 a picture of the palette, its drawer open
//   render PATH [WxH]            a picture of the 3D view (640x480 unless given)
//   echo TEXT...                 print a line
//
// A script is read whole before anything runs: every word is parsed once, here, to what the
// command takes (a number in its range, a whole number, a keyword, a size, text), and a bad
// word refuses the whole script naming the script, the line, the word and what is allowed.
// The runner then works only with the parsed values.
//
// Adding a command takes two things:
//   1. an entry in the table of script_verbs.cpp: its verb, its usage line, the forms it
//      takes (each a list of word rules: Text, Keyword, Number, Whole, Row, TagOrTitle, Size;
//      see ScriptWord), the ScriptRunner member that does it and, when its words must go
//      together, a check of them;
//   2. that member, declared in script_runner.h, taking the parsed command and reading its
//      words through ScriptCommand's accessors (Number, Float, Whole, Text, Size). It throws
//      std::runtime_error with a message for the user when it cannot be done.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "refhost/text/shown_text.h"

namespace refhost {

class ScriptRunner;

// A script that cannot be read or a command that cannot be done; the message starts with the
// script's name and the line.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScriptSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(ScriptSize const&) const = default;
};

// A word as the check parsed it: text (also keywords and "ruler"), a number, a whole number
// or a size.
using ScriptValue = std::variant<std::string, double, int32_t, ScriptSize>;

struct ScriptVerb;

struct ScriptCommand {
    int line = 0;
    std::string verb;
    // The words after the verb as written, and each parsed (one value a word).
    std::vector<std::string> words;
    std::vector<ScriptValue> values;
    // The table entry the command was checked against (null for a command made by hand,
    // which the runner looks up by its verb).
    ScriptVerb const* declared = nullptr;

    // The parsed word at i, of the type its rule gives; std::bad_variant_access when the rule
    // gives another (a fault of the handler, not of the script).
    double Number(std::size_t i) const { return std::get<double>(values.at(i)); }
    float Float(std::size_t i) const { return static_cast<float>(Number(i)); }
    int32_t Whole(std::size_t i) const { return std::get<int32_t>(values.at(i)); }
    bool IsWhole(std::size_t i) const { return std::holds_alternative<int32_t>(values.at(i)); }
    std::string const& Text(std::size_t i) const { return words.at(i); }
    ScriptSize Size(std::size_t i) const { return std::get<ScriptSize>(values.at(i)); }
};

// What a word of a command may be.
struct ScriptWord {
    enum class Kind {
        Text,       // any word
        Keyword,    // one of `keywords`
        Number,     // a finite number from `least` to `most`; 0 or at least kSmallest in size
        Whole,      // a whole number from `least` to `most`
        Row,        // "ruler" (kept as text) or a whole number from 0 to `most`
        TagOrTitle, // digits: a whole number (a control's tag); anything else: text
        Size,       // WIDTHxHEIGHT, each from 1 to `most`
    };
    Kind kind = Kind::Text;
    // How the usage line names it ("X", "SECONDS").
    std::string name;
    double least = 0;
    double most = 0;
    std::vector<std::string> keywords;
};

// Magnitudes below this are too small to be told apart from 0 by the scene's single
// precision, so a nonzero number smaller than it is refused rather than silently lost.
inline constexpr double kSmallest = 1e-6;

// One way of writing a command: its words in order; when `repeatsLast`, the last rule also
// takes every further word, up to `most` words in all.
struct ScriptForm {
    std::vector<ScriptWord> words;
    bool repeatsLast = false;
    std::size_t most = 0;
};

using ScriptHandler = void (ScriptRunner::*)(ScriptCommand const&);

struct ScriptVerb {
    std::string name;
    std::string usage;
    // The forms, tried in order; the first that takes the words is the command's.
    std::vector<ScriptForm> forms;
    ScriptHandler handler = nullptr;
    // A check of the parsed words together (a range's start before its end), returning why
    // they do not go together, or nothing; optional.
    std::string (*together)(ScriptCommand const&) = nullptr;
};

// The table of every command (script_verbs.cpp); FindScriptVerb is null for an unknown verb.
std::vector<ScriptVerb> const& ScriptVerbs();
ScriptVerb const* FindScriptVerb(std::string_view name);

// Every command of the text, each parsed and checked against its verb's forms before any is
// run; throws ScriptError at the first bad line.
std::vector<ScriptCommand> ParseScript(std::string_view text, std::string const& source);

// Parses the command's words (its verb must be declared) by the first form that takes them,
// filling its values; returns why no form does (the usage line among it), or nothing.
std::string CheckScriptCommand(ScriptCommand& command);

// The words of a line: spaces separate, double quotes group, # starts a comment. Throws
// std::invalid_argument for an unclosed quote.
std::vector<std::string> SplitScriptLine(std::string_view line);

// A word as a message shows it (see ShownText).
inline std::string ShownWord(std::string_view word) {
    return ShownText(word);
}

} // namespace refhost
