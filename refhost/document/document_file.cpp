#include "refhost/document/document_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "refhost/document/json_node.h"
#include "refhost/document/json_text.h"
#include "refhost/document/scene_reader.h"
#include "refhost/document/scene_writer.h"
#include "refhost/framework/host_state.h"

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
    Json json;
    try {
        json = Json::parse(text);
    } catch (Json::parse_error const& error) {
        throw DocumentError(std::string("not JSON: ") + error.what());
    }
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
    std::string const text = DocumentText(document);
    std::string const temporary = path + ".saving";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            throw DocumentError(WithFile(path, "cannot be written"));
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw DocumentError(WithFile(path, "cannot be replaced"));
    }
    document.path = path;
    document.edited = false;
}

std::unique_ptr<Document> OpenDocument(std::string const& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw DocumentError(WithFile(path, "cannot be opened"));
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
