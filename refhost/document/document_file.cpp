#include "refhost/document/document_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "refhost/document/file_replacement.h"
#include "refhost/document/json_node.h"
#include "refhost/document/json_text.h"
#include "refhost/document/scene_reader.h"
#include "refhost/document/scene_writer.h"
#include "refhost/framework/host_state.h"
#include "refhost/text/shown_text.h"

namespace refhost {

namespace {

using document::Json;
using document::JsonNode;

constexpr char kFormat[] = "KeyposeSequencer document";
constexpr int64_t kVersion = 1;
// Deeper nesting than any document has; refusing it keeps the parser's recursion bounded.
constexpr int kMaximumNesting = 64;

void CheckNesting(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char const c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaximumNesting) {
                throw DocumentError("offset " + std::to_string(i) + ": nested more than " +
                                    std::to_string(kMaximumNesting) + " deep");
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

// What the parser wanted where it stopped, from what it was reading.
char const* Expected(std::string_view reason) {
    if (reason.find("; expected end of input") != std::string_view::npos) {
        return "the end of the text";
    }
    if (reason.find("object key") != std::string_view::npos) {
        return "a quoted name";
    }
    if (reason.find("object separator") != std::string_view::npos) {
        return "':'";
    }
    if (reason.find("parsing object") != std::string_view::npos) {
        return "',' or '}'";
    }
    if (reason.find("parsing array") != std::string_view::npos) {
        return "',' or ']'";
    }
    if (reason.find("parsing value") != std::string_view::npos) {
        return "a value (an object, array, string, number, true, false or null)";
    }
    return "the end of the text";
}

bool IsWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '+';
}

// Where the token that the parser stopped in starts: position counts the characters read,
// the last of them the one that stopped it.
std::size_t TokenStart(std::string_view text, std::size_t position, std::string_view reason) {
    std::size_t at = std::min(position == 0 ? 0 : position - 1, text.size());
    bool const inString = reason.find("invalid string") != std::string_view::npos;
    if (inString || (at < text.size() && text[at] == '"')) {
        // Back to the opening quote.
        std::size_t from = inString ? at : at - 1;
        std::size_t const quote = text.rfind('"', from == std::string_view::npos ? 0 : from);
        return quote == std::string_view::npos ? at : quote;
    }
    if (at < text.size() && !IsWordCharacter(text[at]) && at > 0 && IsWordCharacter(text[at - 1]) &&
        reason.find("literal") != std::string_view::npos) {
        --at; // a word cut short by what followed it
    }
    while (at > 0 && at < text.size() && IsWordCharacter(text[at]) &&
           IsWordCharacter(text[at - 1])) {
        --at;
    }
    return at;
}

// A syntax error as "line L, column C: found X where Y was expected".
std::string SyntaxError(std::string_view text, std::size_t position, std::string_view reason) {
    std::size_t const at = TokenStart(text, position, reason);
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    std::string found;
    if (at >= text.size()) {
        found = "the end of the text";
    } else if (reason.find("invalid string") != std::string_view::npos) {
        found = "a string that is not closed or holds a control character or a bad escape";
    } else if (text[at] == '"') {
        found = "a string";
    } else {
        std::size_t end = at + 1;
        while (end < text.size() && end - at < 20 && IsWordCharacter(text[end]) &&
               IsWordCharacter(text[at])) {
            ++end;
        }
        found = "'" + ShownText(text.substr(at, end - at)) + "'";
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(at - lineStart + 1) +
           ": found " + found + " where " + Expected(reason) + " was expected";
}

// Builds the value as the library's own parser does, and keeps the place of the value being
// read, so that a number beyond single precision is refused with its place.
class PlacedParser : public nlohmann::detail::json_sax_dom_parser<Json> {
public:
    using Base = nlohmann::detail::json_sax_dom_parser<Json>;
    using Base::Base;

    bool null() { return Value() && Base::null(); }
    bool boolean(bool v) { return Value() && Base::boolean(v); }
    bool number_integer(Json::number_integer_t v) { return Value() && Base::number_integer(v); }
    bool number_unsigned(Json::number_unsigned_t v) { return Value() && Base::number_unsigned(v); }
    bool number_float(Json::number_float_t v, std::string const& s) {
        return Value() && Base::number_float(v, s);
    }
    bool string(Json::string_t& v) { return Value() && Base::string(v); }
    bool binary(Json::binary_t& v) { return Value() && Base::binary(v); }
    bool start_object(std::size_t n) { return Open(false) && Base::start_object(n); }
    bool key(Json::string_t& k) {
        fPlaces.back().key = k;
        return Base::key(k);
    }
    bool end_object() { return Close() && Base::end_object(); }
    bool start_array(std::size_t n) { return Open(true) && Base::start_array(n); }
    bool end_array() { return Close() && Base::end_array(); }

    // The text being parsed, for the line and column of a syntax error.
    std::string_view text;

    template <class Exception>
    bool parse_error(std::size_t position, std::string const& token, Exception const& error) {
        if constexpr (std::is_same_v<Exception, nlohmann::detail::out_of_range>) {
            throw DocumentError(PlaceOfNext() + ": the number " + token +
                                " is too large for single precision");
        }
        if constexpr (std::is_same_v<Exception, nlohmann::detail::parse_error>) {
            throw DocumentError(SyntaxError(text, position, error.what()));
        }
        return Base::parse_error(position, token, error);
    }

private:
    struct Place {
        bool array;
        std::size_t next = 0; // elements started so far
        std::string key;
    };
    // The pointer of the value that comes next.
    std::string PlaceOfNext() const {
        std::string pointer;
        for (std::size_t i = 0; i < fPlaces.size(); ++i) {
            Place const& place = fPlaces[i];
            // An enclosing array is inside its latest element; the innermost one is about
            // to start its next.
            std::size_t const index = i + 1 < fPlaces.size() ? place.next - 1 : place.next;
            pointer += "/" + (place.array ? std::to_string(index) : place.key);
        }
        return pointer.empty() ? "/" : pointer;
    }
    bool Value() {
        if (!fPlaces.empty() && fPlaces.back().array) {
            ++fPlaces.back().next;
        }
        return true;
    }
    bool Open(bool array) {
        Value();
        fPlaces.push_back(Place{array, 0, {}});
        return true;
    }
    bool Close() {
        fPlaces.pop_back();
        return true;
    }

    std::vector<Place> fPlaces;
};

Json ParsedJson(std::string_view text) {
    Json json;
    PlacedParser parser(json);
    parser.text = text;
    try {
        Json::sax_parse(text, &parser);
    } catch (Json::exception const& error) {
        // Syntax errors are reported by the parser above; anything else is an odd file.
        throw DocumentError("not readable as a document");
    }
    return json;
}

Json ClockJson(ClockSettings const& clock) {
    Json json = Json::object();
    json["unitsPerSecond"] = clock.unitsPerSecond;
    json["minimum"] = clock.minimum;
    json["current"] = clock.current;
    json["maximum"] = clock.maximum;
    json["speed"] = document::FloatJson(clock.speed);
    return json;
}

ClockSettings ClockFrom(JsonNode const& node) {
    ClockSettings clock;
    clock.unitsPerSecond = static_cast<uint32_t>(node["unitsPerSecond"].Integer(1, UINT32_MAX));
    clock.minimum = static_cast<int32_t>(node["minimum"].Integer(INT32_MIN, INT32_MAX));
    clock.current = static_cast<int32_t>(node["current"].Integer(INT32_MIN, INT32_MAX));
    clock.maximum = static_cast<int32_t>(node["maximum"].Integer(INT32_MIN, INT32_MAX));
    clock.speed = node["speed"].Float();
    if (!(clock.minimum <= clock.current && clock.current <= clock.maximum)) {
        node.Fail("expected minimum <= current <= maximum");
    }
    return clock;
}

std::string WithFile(std::string const& path, std::string const& message) {
    return path + ": " + message;
}

} // namespace

std::string DocumentText(Document const& document) {
    document::SceneWriter writer;
    Json json = Json::object();
    json["format"] = kFormat;
    json["version"] = kVersion;
    json["clock"] = ClockJson(document.clock);
    int64_t const selected = writer.Id(document.SelectedGroup());
    int64_t const others = writer.Id(document.OtherGroup());
    Json views = Json::array();
    for (OpaqueTQ3Object* view : document.Views()) {
        views.push_back(writer.Id(view));
    }
    json["objects"] = writer.Table();
    json["selected"] = selected;
    json["others"] = others;
    json["views"] = std::move(views);
    json["currentView"] = document.CurrentViewIndex();
    try {
        return document::JsonText(json);
    } catch (Json::exception const& error) {
        throw DocumentError(std::string("the document cannot be written: ") + error.what());
    }
}

std::unique_ptr<Document> DocumentFromText(std::string_view text) {
    CheckNesting(text);
    Json const json = ParsedJson(text);
    JsonNode const root(json, "");
    JsonNode const format = root["format"];
    if (format.String() != kFormat) {
        format.Fail("not a KeyposeSequencer document");
    }
    root["version"].Integer(kVersion, kVersion);
    ClockSettings const clock = ClockFrom(root["clock"]);

    document::SceneReader reader;
    reader.ReadTable(root["objects"]);
    auto* selected = reader.Object<scene::Group>(root["selected"], "a group");
    auto* others = reader.Object<scene::Group>(root["others"], "a group");
    auto made = std::make_unique<Document>();
    made->SetGroups(selected, others);
    JsonNode const views = root["views"];
    for (std::size_t i = 0; i < views.Size(); ++i) {
        made->AddView(reader.Object<scene::View>(views.At(i), "a view"));
    }
    auto const last = std::max<int64_t>(static_cast<int64_t>(views.Size()) - 1, 0);
    auto const current = static_cast<std::size_t>(root["currentView"].Integer(0, last));
    if (views.Size() != 0) {
        made->SetCurrentViewIndex(current);
    }
    made->clock = clock;
    return made;
}

void SaveDocument(Document& document, std::string const& path) {
    ClockSettings const& clock = document.clock;
    if (!(clock.minimum <= clock.current && clock.current <= clock.maximum)) {
        // Reading refuses such a clock, so writing one would lose the document.
        throw DocumentError(
            WithFile(path, "not saved: the clock's current time " + std::to_string(clock.current) +
                               " lies outside its range " + std::to_string(clock.minimum) + " to " +
                               std::to_string(clock.maximum)));
    }
    std::string const text = DocumentText(document);
    try {
        ReplaceFileContents(path, text);
    } catch (std::runtime_error const& error) {
        throw DocumentError(WithFile(path, error.what()));
    }
    document.path = path;
    document.edited = false;
}

std::unique_ptr<Document> OpenDocument(std::string const& path) {
    std::error_code kindError;
    if (std::filesystem::is_directory(path, kindError)) {
        throw DocumentError(WithFile(path, "is a folder, not a document"));
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw DocumentError(WithFile(path, std::string("cannot be opened (") +
                                               std::strerror(errno != 0 ? errno : ENOENT) + ")"));
    }
    std::stringstream text;
    text << file.rdbuf();
    try {
        std::unique_ptr<Document> made = DocumentFromText(text.str());
        made->path = path;
        return made;
    } catch (DocumentError const& error) {
        throw DocumentError(WithFile(path, error.what()));
    } catch (CSceneException const& error) {
        throw DocumentError(WithFile(path, error.what()));
    }
}

void UseDocumentTextForUndo() {
    HostState& host = HostState::Instance();
    host.makeSnapshot = [](Document const& document) { return DocumentText(document); };
    host.restoreSnapshot = [](Document& document, std::string const& step) {
        std::unique_ptr<Document> restored = DocumentFromText(step);
        document.SwapScene(*restored);
    };
}

} // namespace refhost
