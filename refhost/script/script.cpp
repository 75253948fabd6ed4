#include "refhost/script/script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace refhost {

namespace {

std::string Figure(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string Quoted(std::string_view word) {
    return "'" + ShownWord(word) + "'";
}

std::string Listed(std::vector<std::string> const& keywords) {
    std::string list;
    for (auto const& each : keywords) {
        list += (list.empty() ? "" : ", ") + each;
    }
    return list;
}

// The whole word as a number, or nothing; a number too large for a double is ±infinity.
std::optional<double> ReadNumber(std::string const& word) {
    double value = 0;
    char const* end = word.data() + word.size();
    auto const result = std::from_chars(word.data(), end, value);
    if (result.ptr != end || word.empty()) {
        return std::nullopt;
    }
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond a double: a negative exponent makes it tiny, anything else huge.
        bool const tiny =
            word.find("e-") != std::string::npos || word.find("E-") != std::string::npos;
        return tiny ? 1e-300 : word.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return result.ec == std::errc() ? std::optional<double>(value) : std::nullopt;
}

std::string Range(ScriptWord const& rule) {
    return rule.name + " is from " + Figure(rule.least) + " to " + Figure(rule.most);
}

// Parses the word by its rule into `value`; returns why it cannot be, or nothing.
std::string ParseWord(ScriptWord const& rule, std::string const& word, ScriptValue& value) {
    using Kind = ScriptWord::Kind;
    switch (rule.kind) {
    case Kind::Text:
        value = word;
        return {};
    case Kind::Keyword:
        for (auto const& each : rule.keywords) {
            if (each == word) {
                value = word;
                return {};
            }
        }
        return Quoted(word) + " is not one of " + Listed(rule.keywords);
    case Kind::Number: {
        std::optional<double> const number = ReadNumber(word);
        if (!number || std::isnan(*number)) {
            return Quoted(word) + " is not a number";
        }
        if (*number < rule.least || *number > rule.most) {
            return Quoted(word) + " is out of range: " + Range(rule);
        }
        if (*number != 0 && std::fabs(*number) < kSmallest) {
            return Quoted(word) + " is too small: " + Range(rule) + ", and 0 or at least " +
                   Figure(kSmallest) + " in size";
        }
        value = *number;
        return {};
    }
    case Kind::Row:
        if (word == "ruler") {
            value = word;
            return {};
        }
        [[fallthrough]];
    case Kind::Whole:
    case Kind::TagOrTitle: {
        bool const digits =
            !word.empty() && word.find_first_not_of("-0123456789") == std::string::npos;
        if (rule.kind == Kind::TagOrTitle && word.empty()) {
            return "an empty title names no control";
        }
        if (rule.kind == Kind::TagOrTitle && (!digits || word.front() == '-')) {
            value = word;
            return {};
        }
        long long whole = 0;
        char const* end = word.data() + word.size();
        auto const result = std::from_chars(word.data(), end, whole);
        if (result.ptr != end || word.empty() ||
            (result.ec != std::errc() && result.ec != std::errc::result_out_of_range)) {
            return Quoted(word) + (rule.kind == Kind::Row ? " is neither a row number nor 'ruler'"
                                                          : " is not a whole number");
        }
        auto const asDouble = static_cast<double>(whole);
        if (result.ec == std::errc::result_out_of_range || asDouble < rule.least ||
            asDouble > rule.most) {
            return Quoted(word) + " is out of range: " + Range(rule);
        }
        value = static_cast<int32_t>(whole);
        return {};
    }
    case Kind::Size: {
        ScriptSize size;
        char const* begin = word.data();
        char const* end = word.data() + word.size();
        auto const w = std::from_chars(begin, end, size.width);
        bool parsed = w.ec == std::errc() && w.ptr != end && *w.ptr == 'x';
        if (parsed) {
            auto const h = std::from_chars(w.ptr + 1, end, size.height);
            parsed = h.ec == std::errc() && h.ptr == end;
        }
        if (!parsed || size.width < 1 || size.height < 1 || size.width > rule.most ||
            size.height > rule.most) {
            return Quoted(word) + " is not a size WIDTHxHEIGHT, each from 1 to " +
                   Figure(rule.most);
        }
        value = size;
        return {};
    }
    }
    return "unknown rule";
}

bool Takes(ScriptForm const& form, std::size_t count) {
    return form.repeatsLast ? count >= form.words.size() && count <= form.most
                            : count == form.words.size();
}

ScriptWord const& RuleAt(ScriptForm const& form, std::size_t i) {
    return i < form.words.size() ? form.words[i] : form.words.back();
}

// Whether some form of the verb takes the word at i as a keyword: then a word count that
// does not fit is a usage fault, not a wrong keyword.
bool AnyFormTakesKeyword(ScriptVerb const& verb, std::size_t i, std::string const& word) {
    for (auto const& form : verb.forms) {
        if (i < form.words.size() && form.words[i].kind == ScriptWord::Kind::Keyword) {
            for (auto const& each : form.words[i].keywords) {
                if (each == word) {
                    return true;
                }
            }
        }
    }
    return false;
}

std::string Check(ScriptVerb const& verb, ScriptCommand& command) {
    std::size_t const count = command.words.size();
    std::string reason;
    std::size_t reasonAt = 0;
    bool counted = false;
    for (auto const& form : verb.forms) {
        if (!Takes(form, count)) {
            continue;
        }
        counted = true;
        std::vector<ScriptValue> values(count);
        std::size_t i = 0;
        std::string why;
        for (; i < count && why.empty(); ++i) {
            why = ParseWord(RuleAt(form, i), command.words[i], values[i]);
        }
        if (why.empty()) {
            command.values = std::move(values);
            why = verb.together ? verb.together(command) : std::string();
            if (why.empty()) {
                return {};
            }
            command.values.clear();
            reason = why;
            reasonAt = count + 1;
            continue;
        }
        bool const wrongKeyword = RuleAt(form, i - 1).kind == ScriptWord::Kind::Keyword;
        if (wrongKeyword && AnyFormTakesKeyword(verb, i - 1, command.words[i - 1])) {
            why = "usage: " + verb.usage;
        } else {
            why = "word " + std::to_string(i) + ": " + why;
        }
        if (reason.empty() || i > reasonAt) {
            reason = why;
            reasonAt = i;
        }
    }
    if (!counted) {
        return "usage: " + verb.usage;
    }
    if (reason.empty()) {
        return {};
    }
    return reason.starts_with("usage: ") ? reason : reason + " (usage: " + verb.usage + ")";
}

} // namespace

std::string CheckScriptCommand(ScriptCommand& command) {
    if (!command.declared) {
        command.declared = FindScriptVerb(command.verb);
    }
    if (!command.declared) {
        return "unknown command " + Quoted(command.verb);
    }
    return Check(*command.declared, command);
}

ScriptVerb const* FindScriptVerb(std::string_view name) {
    for (auto const& verb : ScriptVerbs()) {
        if (verb.name == name) {
            return &verb;
        }
    }
    return nullptr;
}

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
        ScriptVerb const* verb = FindScriptVerb(words.front());
        if (!verb) {
            throw ScriptError(where + "unknown command " + Quoted(words.front()));
        }
        ScriptCommand command{number, words.front(), {words.begin() + 1, words.end()}, {}, verb};
        if (std::string const why = CheckScriptCommand(command); !why.empty()) {
            throw ScriptError(where + verb->name + ": " + why);
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

} // namespace refhost
