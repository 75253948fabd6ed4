// Whole scripts of user actions through the real module: any text is checked as a script,
// and the lines it accepts run one by one in a session on the painted crate (a line that
// cannot be done is refused and the next one runs). Files stay in a scratch folder: `open`
// opens one of the examples, `save` writes one scratch file, and pictures and glTF files are
// neither written nor read.
// Plays are cut to two seconds so that an input runs in a bounded time.
//
// The mutator works on lines: it replaces, inserts, removes or swaps lines, writes a line
// for a command of the verb table with words of the kinds its forms take (in range, at the
// edges and beyond), or changes one word; otherwise libFuzzer's own byte mutation works on
// one line.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "examples/example_scenes.h"
#include "host/cocoa/cocoa.h"
#include "refhost/framework/host_state.h"
#include "refhost/script/script.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"

extern "C" std::size_t LLVMFuzzerMutate(uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

namespace fs = std::filesystem;

constexpr double kLongestPlay = 2;

fs::path Scratch() {
    static fs::path const folder = [] {
        fs::path made =
            fs::temp_directory_path() / ("keypose_scripts_fuzzer_" + std::to_string(getpid()));
        fs::create_directories(made);
        return made;
    }();
    return folder;
}

// The command with its files kept inside the scratch folder and its play cut short; false
// for a command this target does not run.
bool Tamed(refhost::ScriptCommand& command) {
    std::string const& verb = command.verb;
    if (verb == "palette" || verb == "render" || verb == "export" || verb == "import") {
        return false;
    }
    if (verb == "open") {
        auto const& all = examples::AllExamples();
        std::size_t const which = std::hash<std::string>{}(command.words[0]) % all.size();
        command.words[0] = (fs::path(KEYPOSE_EXAMPLES_DIR) / all[which].fileName).string();
        command.values[0] = command.words[0];
    }
    if (verb == "save") {
        command.words = {(Scratch() / "saved.json").string()};
        command.values = {command.words[0]};
    }
    if (verb == "play" && command.Number(0) > kLongestPlay) {
        command.values[0] = kLongestPlay;
    }
    return true;
}

std::vector<std::string> SplitLines(std::string const& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A word for a rule: mostly one it takes, sometimes one at or past its edges.
std::string RandomWord(std::mt19937& random, refhost::ScriptWord const& rule) {
    using Kind = refhost::ScriptWord::Kind;
    static char const* const kOdd[] = {
        "0",    "-1", "1e39", "1e-50", "nan", "inf", "-0", "1e7", "99999999999999999999",
        "\"\"", "x",  "0x10"};
    if (random() % 8 == 0) {
        return kOdd[random() % std::size(kOdd)];
    }
    auto between = [&](double least, double most) {
        std::uniform_real_distribution<double> pick(std::max(least, -20.0), std::min(most, 20.0));
        std::ostringstream text;
        text << pick(random);
        return text.str();
    };
    switch (rule.kind) {
    case Kind::Keyword:
        return rule.keywords[random() % rule.keywords.size()];
    case Kind::Number:
        return random() % 6 == 0 ? between(rule.most, rule.most) : between(rule.least, rule.most);
    case Kind::Whole:
        return std::to_string(static_cast<int64_t>(rule.least) + random() % 5);
    case Kind::Row:
        return random() % 4 == 0 ? "ruler" : std::to_string(random() % 5);
    case Kind::TagOrTitle: {
        static char const* const kControls[] = {"Object", "Camera", "Ambient", "Sun", "+",
                                                "-",      "1004",   "1005",    "1001"};
        return kControls[random() % std::size(kControls)];
    }
    case Kind::Size:
        return std::to_string(1 + random() % 64) + "x" + std::to_string(1 + random() % 64);
    case Kind::Text:
        break;
    }
    static char const* const kNames[] = {"Crate", "Lamp",   "Spot",       "Pillar",
                                         "R",     "delete", "scene.json", "\"Big lamp\""};
    return kNames[random() % std::size(kNames)];
}

// A line for a command of the verb table, in one of its forms.
std::string RandomCommand(std::mt19937& random) {
    auto const& verbs = refhost::ScriptVerbs();
    refhost::ScriptVerb const& verb = verbs[random() % verbs.size()];
    refhost::ScriptForm const& form = verb.forms[random() % verb.forms.size()];
    std::string line = verb.name;
    std::size_t count = form.words.size();
    if (form.repeatsLast && !form.words.empty()) {
        count += random() % 3;
    }
    for (std::size_t i = 0; i < count; ++i) {
        line += " " + RandomWord(random, form.words[std::min(i, form.words.size() - 1)]);
    }
    return line;
}

} // namespace

// The module stays mapped from the start: the fuzzer keeps its coverage counters, which
// would otherwise go with the module each time a session unloads it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!dlopen(KEYPOSE_MODULE_PATH, RTLD_NOW | RTLD_NODELETE)) {
        std::fprintf(stderr, "cannot load %s: %s\n", KEYPOSE_MODULE_PATH, dlerror());
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, std::size_t size) {
    std::string const text(reinterpret_cast<char const*>(data), size);
    std::vector<refhost::ScriptCommand> commands;
    for (std::string const& line : SplitLines(text)) {
        try {
            for (auto& command : refhost::ParseScript(line, "fuzz.ks")) {
                if (Tamed(command)) {
                    commands.push_back(std::move(command));
                }
            }
        } catch (refhost::ScriptError const&) {
            // Refused by the check, as a whole script with this line would be.
        }
    }
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Adopt(examples::PaintedCrate());
        std::ostringstream out;
        refhost::ScriptRunner runner(session, Scratch(), out, "fuzz.ks");
        for (auto const& command : commands) {
            try {
                runner.Run(command);
            } catch (refhost::ScriptError const&) {
                // A command that cannot be done stops a script; here the next one runs.
            }
        }
        NSApp()->discardEvents();
    }
    refhost::HostState::Instance().Reset();
    return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> lines =
        SplitLines(std::string(reinterpret_cast<char const*>(data), size));
    std::size_t const at = random() % lines.size();
    switch (random() % 7) {
    case 0:
        lines[at] = RandomCommand(random);
        break;
    case 1:
    case 2:
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), RandomCommand(random));
        break;
    case 3:
        if (lines.size() > 1) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
        }
        break;
    case 4:
        std::swap(lines[at], lines[random() % lines.size()]);
        break;
    case 5: {
        // One word of the line given another value of its kind, or an odd one.
        std::vector<std::string> words;
        try {
            words = refhost::SplitScriptLine(lines[at]);
        } catch (std::invalid_argument const&) {
        }
        if (words.size() > 1) {
            std::size_t const word = 1 + random() % (words.size() - 1);
            refhost::ScriptWord rule;
            rule.kind = refhost::ScriptWord::Kind::Number;
            rule.least = -100;
            rule.most = 100;
            words[word] = RandomWord(random, rule);
            std::string line;
            for (auto const& each : words) {
                line += (line.empty() ? "" : " ") + each;
            }
            lines[at] = line;
        }
        break;
    }
    default: {
        std::string& line = lines[at];
        std::size_t const original = line.size();
        std::size_t const room = std::max(original, std::min(maxSize, original + 64));
        line.resize(room);
        line.resize(LLVMFuzzerMutate(reinterpret_cast<uint8_t*>(line.data()), original, room));
    }
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : "\n") + lines[i];
    }
    std::size_t const written = std::min(text.size(), maxSize);
    std::memcpy(data, text.data(), written);
    return written;
}
