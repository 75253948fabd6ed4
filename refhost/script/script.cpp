#include "refhost/script/script.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace refhost {

namespace {

bool IsNumber(std::string const& word) {
    double value = 0;
    char const* end = word.data() + word.size();
    auto const result = std::from_chars(word.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool IsRow(std::string const& word) {
    if (word == "ruler") {
        return true;
    }
    int value = 0;
    char const* end = word.data() + word.size();
    auto const result = std::from_chars(word.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= 0;
}

// What a verb takes: the number of words, and a check of the words that returns the reason
// they are wrong, or nothing.
struct Signature {
    std::size_t least;
    std::size_t most;
    char const* usage;
    std::function<std::string(std::vector<std::string> const&)> check;
};

std::string Numbers(std::vector<std::string> const& words, std::size_t from = 0) {
    for (std::size_t i = from; i < words.size(); ++i) {
        if (!IsNumber(words[i])) {
            return "'" + words[i] + "' is not a number";
        }
    }
    return {};
}

std::string OneOf(std::string const& word, std::set<std::string> const& allowed) {
    if (allowed.count(word)) {
        return {};
    }
    std::string list;
    for (auto const& each : allowed) {
        list += (list.empty() ? "" : ", ") + each;
    }
    return "'" + word + "' is not one of " + list;
}

std::string None(std::vector<std::string> const&) {
    return {};
}

std::string Light(std::vector<std::string> const& w) {
    if (auto why = OneOf(w[1], {"on", "off", "brightness", "colour"}); !why.empty()) {
        return why;
    }
    std::size_t const wants = w[1] == "brightness" ? 3 : w[1] == "colour" ? 5 : 2;
    if (w.size() != wants) {
        return "'light " + w[0] + " " + w[1] + "' takes " + std::to_string(wants - 2) +
               " number(s)";
    }
    return Numbers(w, 2);
}

std::string Click(std::vector<std::string> const& w) {
    if (!IsRow(w[0])) {
        return "'" + w[0] + "' is neither a row number nor 'ruler'";
    }
    if (!IsNumber(w[1])) {
        return "'" + w[1] + "' is not a number of seconds";
    }
    return w.size() == 3 ? OneOf(w[2], {"shift"}) : std::string();
}

std::string Drag(std::vector<std::string> const& w) {
    for (std::size_t i : {0u, 2u}) {
        if (!IsRow(w[i])) {
            return "'" + w[i] + "' is neither a row number nor 'ruler'";
        }
        if (!IsNumber(w[i + 1])) {
            return "'" + w[i + 1] + "' is not a number of seconds";
        }
    }
    return w.size() == 5 ? OneOf(w[4], {"shift"}) : std::string();
}

std::string Effect(std::vector<std::string> const& w) {
    if (auto why = OneOf(w[0], {"colour", "texture", "light", "none"}); !why.empty()) {
        return why;
    }
    std::size_t const wants = w[0] == "none" ? 1 : w[0] == "light" ? 5 : 4;
    if (w.size() != wants) {
        return "'effect " + w[0] + "' takes " + std::to_string(wants - 1) + " number(s)";
    }
    return Numbers(w, 1);
}

std::map<std::string, Signature> const& Verbs() {
    auto numbers = [](auto const& w) { return Numbers(w); };
    static std::map<std::string, Signature> const verbs{
        {"open", {1, 1, "open PATH", None}},
        {"save", {0, 1, "save [PATH]", None}},
        {"time", {1, 1, "time SECONDS", numbers}},
        {"range", {2, 2, "range START END", numbers}},
        {"select", {1, 64, "select NAME...", None}},
        {"deselect", {0, 0, "deselect", None}},
        {"move", {3, 3, "move X Y Z", numbers}},
        {"turn",
         {2, 2, "turn x|y|z DEGREES",
          [](auto const& w) {
              auto why = OneOf(w[0], {"x", "y", "z"});
              return why.empty() ? Numbers(w, 1) : why;
          }}},
        {"scale",
         {1, 3, "scale F | scale X Y Z",
          [](auto const& w) {
              return w.size() == 2 ? std::string("scale takes 1 or 3 numbers") : Numbers(w);
          }}},
        {"colour", {3, 3, "colour R G B", numbers}},
        {"specular", {3, 3, "specular R G B", numbers}},
        {"surface",
         {2, 2, "surface ambient|shininess|transparency VALUE",
          [](auto const& w) {
              auto why = OneOf(w[0], {"ambient", "shininess", "transparency"});
              return why.empty() ? Numbers(w, 1) : why;
          }}},
        {"camera",
         {6, 9, "camera X Y Z  X Y Z [X Y Z]",
          [](auto const& w) {
              return w.size() == 6 || w.size() == 9 ? Numbers(w)
                                                    : std::string("camera takes 6 or 9 numbers");
          }}},
        {"light", {2, 5, "light ambient|sun|NAME on|off|brightness V|colour R G B", Light}},
        {"effect",
         {1, 5,
          "effect colour HUE SATURATION LIGHTNESS | texture SPEED DIRECTION TURN | light HUE "
          "ON OFF PULSE | none",
          Effect}},
        {"press", {1, 1, "press TITLE|TAG", None}},
        {"click", {2, 3, "click ROW SECONDS [shift]", Click}},
        {"drag", {4, 5, "drag ROW SECONDS ROW SECONDS [shift]", Drag}},
        {"key", {1, 1, "key R|delete|TEXT", None}},
        {"play", {1, 1, "play SECONDS", numbers}},
        {"undo", {0, 0, "undo", None}},
        {"palette", {1, 1, "palette PATH", None}},
        {"render",
         {1, 2, "render PATH [WIDTHxHEIGHT]",
          [](auto const& w) {
              int width = 0;
              int height = 0;
              char x = 0;
              char rest = 0;
              bool const sized =
                  w.size() == 1 ||
                  (std::sscanf(w[1].c_str(), "%d%c%d%c", &width, &x, &height, &rest) == 3 &&
                   x == 'x' && width > 0 && height > 0 && width <= 8192 && height <= 8192);
              return sized ? std::string() : "'" + w[1] + "' is not a size WIDTHxHEIGHT";
          }}},
        {"echo", {0, 64, "echo TEXT...", None}},
    };
    return verbs;
}

} // namespace

std::vector<std::string> SplitScriptLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == '#') {
            break;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        throw std::invalid_argument("a quote is not closed");
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<ScriptCommand> ParseScript(std::string_view text, std::string const& source) {
    std::vector<ScriptCommand> commands;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++number;
        std::string const where = source + ":" + std::to_string(number) + ": ";
        std::vector<std::string> words;
        try {
            words = SplitScriptLine(text.substr(start, end - start));
        } catch (std::invalid_argument const& error) {
            throw ScriptError(where + error.what());
        }
        start = end + 1;
        if (words.empty()) {
            continue;
        }
        auto const found = Verbs().find(words.front());
        if (found == Verbs().end()) {
            throw ScriptError(where + "unknown command '" + words.front() + "'");
        }
        ScriptCommand command{number, words.front(), {words.begin() + 1, words.end()}};
        Signature const& signature = found->second;
        std::size_t const count = command.words.size();
        if (count < signature.least || count > signature.most) {
            throw ScriptError(where + "usage: " + signature.usage);
        }
        if (std::string const why = signature.check(command.words); !why.empty()) {
            throw ScriptError(where + why + " (usage: " + signature.usage + ")");
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

} // namespace refhost
