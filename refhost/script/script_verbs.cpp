// The table of script commands: each verb, how it is written and what does it. This is the
// one place a command is declared (see script.h for adding one).
#include <cstdint>

#include "refhost/script/script.h"
#include "refhost/script/script_runner.h"

namespace refhost {

namespace {

using Kind = ScriptWord::Kind;

// Distances, angles and rates beyond this are mistakes rather than scenes.
constexpr double kFar = 1e6;
// Times are at most a day.
constexpr double kDay = 86400;
constexpr double kMostRows = 9999;
constexpr double kMostTag = INT32_MAX;
constexpr double kMostPixels = 8192;
constexpr std::size_t kMostWords = 64;

ScriptWord Text(std::string name) {
    return {Kind::Text, std::move(name), 0, 0, {}};
}

ScriptWord Keyword(std::vector<std::string> keywords) {
    std::string name;
    for (auto const& each : keywords) {
        name += (name.empty() ? "" : "|") + each;
    }
    return {Kind::Keyword, name, 0, 0, std::move(keywords)};
}

ScriptWord Number(std::string name, double least = -kFar, double most = kFar) {
    return {Kind::Number, std::move(name), least, most, {}};
}

ScriptWord Seconds(std::string name) {
    return Number(std::move(name), 0, kDay);
}

ScriptWord Unit(std::string name) {
    return Number(std::move(name), 0, 1);
}

ScriptWord Row(std::string name) {
    return {Kind::Row, std::move(name), 0, kMostRows, {}};
}

ScriptForm Words(std::vector<ScriptWord> words) {
    return {std::move(words), false, 0};
}

ScriptForm Repeating(std::vector<ScriptWord> words) {
    return {std::move(words), true, kMostWords};
}

std::string StartBeforeEnd(ScriptCommand const& c) {
    return c.Number(0) <= c.Number(1) ? std::string()
                                      : "the start " + c.Text(0) + " is after the end " + c.Text(1);
}

std::vector<ScriptVerb> MakeVerbs() {
    using R = ScriptRunner;
    ScriptWord const x = Number("X"), y = Number("Y"), z = Number("Z");
    ScriptWord const r = Unit("R"), g = Unit("G"), b = Unit("B");
    return {
        {"new",
         "new PATH [BOX...]",
         {Words({Text("PATH")}), Repeating({Text("PATH"), Text("BOX")})},
         &R::New},
        {"open", "open PATH", {Words({Text("PATH")})}, &R::Open},
        {"save", "save [PATH]", {Words({}), Words({Text("PATH")})}, &R::Save},
        {"time", "time SECONDS", {Words({Seconds("SECONDS")})}, &R::Time},
        {"range",
         "range START END",
         {Words({Seconds("START"), Seconds("END")})},
         &R::Range,
         StartBeforeEnd},
        {"select", "select NAME...", {Repeating({Text("NAME")})}, &R::Select},
        {"deselect", "deselect", {Words({})}, &R::Deselect},
        {"move", "move X Y Z", {Words({x, y, z})}, &R::Move},
        {"turn",
         "turn x|y|z DEGREES",
         {Words({Keyword({"x", "y", "z"}), Number("DEGREES")})},
         &R::Turn},
        {"scale", "scale F | scale X Y Z", {Words({Number("F")}), Words({x, y, z})}, &R::Scale},
        {"colour", "colour R G B", {Words({r, g, b})}, &R::Colour},
        {"specular", "specular R G B", {Words({r, g, b})}, &R::Colour},
        {"surface",
         "surface ambient|shininess|transparency VALUE",
         {Words({Keyword({"ambient", "transparency"}), Unit("VALUE")}),
          Words({Keyword({"shininess"}), Number("VALUE", 0, kFar)})},
         &R::Surface},
        {"camera",
         "camera X Y Z  X Y Z [X Y Z]",
         {Words({x, y, z, x, y, z}), Words({x, y, z, x, y, z, x, y, z})},
         &R::Camera},
        {"light",
         "light ambient|sun|NAME on|off|brightness V|colour R G B",
         {Words({Text("LIGHT"), Keyword({"on", "off"})}),
          Words({Text("LIGHT"), Keyword({"brightness"}), Number("V", 0, kFar)}),
          Words({Text("LIGHT"), Keyword({"colour"}), r, g, b})},
         &R::Light},
        {"effect",
         "effect colour HUE SATURATION LIGHTNESS | texture SPEED DIRECTION TURN | light HUE "
         "ON OFF PULSE | none",
         {Words({Keyword({"colour"}), Number("HUE"), Number("SATURATION"), Number("LIGHTNESS")}),
          Words({Keyword({"texture"}), Number("SPEED"), Number("DIRECTION"), Number("TURN")}),
          Words(
              {Keyword({"light"}), Number("HUE"), Seconds("ON"), Seconds("OFF"), Number("PULSE")}),
          Words({Keyword({"none"})})},
         &R::Effect},
        {"press",
         "press TITLE|TAG",
         {Words({{Kind::TagOrTitle, "TAG", 0, kMostTag, {}}})},
         &R::Press},
        {"click",
         "click ROW SECONDS [shift]",
         {Words({Row("ROW"), Seconds("SECONDS")}),
          Words({Row("ROW"), Seconds("SECONDS"), Keyword({"shift"})})},
         &R::Click},
        {"drag",
         "drag ROW SECONDS ROW SECONDS [shift]",
         {Words({Row("ROW"), Seconds("SECONDS"), Row("ROW"), Seconds("SECONDS")}),
          Words({Row("ROW"), Seconds("SECONDS"), Row("ROW"), Seconds("SECONDS"),
                 Keyword({"shift"})})},
         &R::Drag},
        {"key", "key R|delete|TEXT", {Words({Text("KEY")})}, &R::Key},
        {"play", "play SECONDS", {Words({Seconds("SECONDS")})}, &R::Play},
        {"undo", "undo", {Words({})}, &R::Undo},
        {"redo", "redo", {Words({})}, &R::Redo},
        {"scrub", "scrub SECONDS", {Words({Seconds("SECONDS")})}, &R::Scrub},
        {"copy", "copy", {Words({})}, &R::Copy},
        {"paste", "paste", {Words({})}, &R::Paste},
        {"ease",
         "ease linear|in|out|inout|hold",
         {Words({Keyword({"linear", "in", "out", "inout", "hold"})})},
         &R::Ease},
        {"snap", "snap on|off", {Words({Keyword({"on", "off"})})}, &R::Snap},
        {"zoom", "zoom fit", {Words({Keyword({"fit"})})}, &R::Zoom},
        {"show", "show NAME", {Words({Text("NAME")})}, &R::Show},
        {"palette", "palette PATH", {Words({Text("PATH")})}, &R::Palette},
        {"render",
         "render PATH [WIDTHxHEIGHT]",
         {Words({Text("PATH")}), Words({Text("PATH"), {Kind::Size, "SIZE", 1, kMostPixels, {}}})},
         &R::Render},
        {"paths", "paths on|off", {Words({Keyword({"on", "off"})})}, &R::Paths},
        {"ghosts", "ghosts on|off", {Words({Keyword({"on", "off"})})}, &R::Ghosts},
        {"grid", "grid on|off", {Words({Keyword({"on", "off"})})}, &R::Grid},
        {"echo", "echo TEXT...", {Words({}), Repeating({Text("TEXT")})}, &R::Echo},
        {"export", "export PATH.glb|PATH.gltf", {Words({Text("PATH")})}, &R::Export},
        {"import", "import PATH.glb|PATH.gltf", {Words({Text("PATH")})}, &R::Import},
    };
}

} // namespace

std::vector<ScriptVerb> const& ScriptVerbs() {
    static std::vector<ScriptVerb> const verbs = MakeVerbs();
    return verbs;
}

} // namespace refhost
