// Scripts: what a user does in the host, one command a line, so that whole sessions can be
// replayed, tested and used to make the examples. A line is a verb and its words; words are
// separated by spaces, "double quotes" keep spaces in a word, and # starts a comment.
//
//   open PATH                    open a document (paths are relative to the script)
//   save [PATH]                  save the document (to its own file without a path)
//   time SECONDS                 set the current time
//   range START END              set the playback range, in seconds
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
//   play SECONDS                 play forward for that long
//   undo                         take back the last recording
//   palette PATH                 a picture of the palette, its drawer open
//   render PATH [WxH]            a picture of the 3D view (640x480 unless given)
//   echo TEXT...                 print a line
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace refhost {

// A script that cannot be read or a command that cannot be done; the message starts with the
// script's name and the line.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScriptCommand {
    int line = 0;
    std::string verb;
    std::vector<std::string> words;
};

// Every command of the text, each checked (its verb, how many words it takes and which of
// them must be numbers or keywords) before any is run; throws ScriptError at the first bad
// line.
std::vector<ScriptCommand> ParseScript(std::string_view text, std::string const& source);

// The words of a line: spaces separate, double quotes group, # starts a comment. Throws
// std::invalid_argument for an unclosed quote.
std::vector<std::string> SplitScriptLine(std::string_view line);

} // namespace refhost
