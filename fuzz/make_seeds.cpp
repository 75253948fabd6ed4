// Writes the checked-in seed corpora of the fuzz targets (run from the fuzz build:
// build-fuzz/fuzz/make_seeds fuzz/corpus). The reader's seeds are the examples, a mesh with
// normals of its own and the example with every light and camera saved after tween points
// of its pillar, camera, ambient light and sun were recorded from the palette at two times;
// the stored lists' seeds hold those lists as that target reads them; the messages' seeds
// are a session's events.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "examples/example_scenes.h"
#include "fuzz/plugin_session.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/memory.h"
#include "host/scene.h"
#include "palette/set_up_dialog.h"
#include "refhost/document/document_file.h"
#include "refhost/document/new_document.h"
#include "refhost/scene/build.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

void Write(fs::path const& path, Bytes const& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<char const*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void Write(fs::path const& path, std::string const& text) {
    Write(path, Bytes(text.begin(), text.end()));
}

template <typename T>
void Put(Bytes& bytes, T value) {
    uint8_t raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

CGroupObject Member(CGroupObject const& group, int index) {
    auto* position = group.GetFirstObject();
    for (int i = 0; i < index && position; ++i) {
        position = group.NextPosition(position);
    }
    return CGroupObject(group, position);
}

void Click(char const* title) {
    for (NSView* view : gPalette->contentView()->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            NSRect const frame = view->convertRectToView(view->bounds(), nullptr);
            for (NSEventType type : {NSEventType::leftMouseDown, NSEventType::leftMouseUp}) {
                NSApp()->postEvent(NSEvent::mouseEventWithType(type, {NSMidX(frame), NSMidY(frame)},
                                                               0, view->window()->windowNumber()),
                                   false);
            }
            NSApp()->processPendingEvents();
        }
    }
}

// The stored list of a shape as a list entry of the stored lists' input.
void PutListOf(Bytes& input, uint8_t target, CShapeObject const& shape) {
    THandlePair pair{};
    CSetObject(shape).GetData(GetCustomAttributeType(eTweenAttribute), &pair);
    auto const count = static_cast<uint16_t>(GetHandleSize(pair.data));
    input.push_back(target);
    Put(input, pair.size);
    Put(input, count);
    input.insert(input.end(), *pair.data, *pair.data + count);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds CORPUS-FOLDER\n";
        return 2;
    }
    fs::path const corpus = argv[1];
    InitCustomAttributeGlobals();
    for (examples::Example const& example : examples::AllExamples()) {
        Write(corpus / "document_reader" / example.fileName,
              refhost::DocumentText(*example.make()));
    }
    {
        // A mesh with normals of its own (one zero, one not of unit length), which no
        // example has.
        std::unique_ptr<refhost::Document> meshed = refhost::NewDocument({"Crate"});
        OpaqueTQ3Object* raw = refhost::scene::NewTriMesh(
            {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5f}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, {},
            {{0, 0, 1}, {0.6f, 0, 0.8f}, {0, 0, 0}, {0, -1.5f, 2}});
        CShapeObject mesh(raw);
        C3DObject::Dispose(raw);
        CGroupObject(meshed->OtherGroup()).AddObject(mesh);
        Write(corpus / "document_reader" / "mesh_normals.json", refhost::DocumentText(*meshed));
    }

    std::unique_ptr<refhost::Document> made = examples::LightsAndCameras();
    {
        CGroupObject others(made->OtherGroup());
        CGroupObject pillar = Member(others, 2);
        others.RemoveObject(others.NextPosition(others.NextPosition(others.GetFirstObject())));
        CGroupObject(made->SelectedGroup()).AddObject(pillar);
    }
    std::string saved;
    Bytes lists;
    {
        fuzz::PlugInSession session(std::move(made));
        for (int32_t time : {0, 1800}) {
            for (char const* title : {"Object", "Camera", "Ambient", "Sun"}) {
                PL_SetCurTime(time);
                Click(title);
            }
            session.Tick(time);
        }
        refhost::Document& document = session.Document();
        saved = refhost::DocumentText(document);
        for (int32_t time : {0, 900, 1800}) {
            Put(lists, time);
        }
        lists.push_back(2 | 4 | 16 | 32);
        CViewObject view(document.CurrentView());
        CLightGroupObject lightGroup(view);
        PutListOf(lists, 0, Member(CGroupObject(document.SelectedGroup()), 0));
        PutListOf(lists, 2, CCameraObject(view));
        PutListOf(lists, 3, CShapeObject(lightGroup, lightGroup.GetFirstObjectOfType("ambn"_4cc)));
        PutListOf(lists, 4, CShapeObject(lightGroup, lightGroup.GetFirstObjectOfType("drct"_4cc)));
    }
    Write(corpus / "document_reader" / "recorded_lists.json", saved);
    Write(corpus / "stored_lists" / "recorded_lists", lists);
    Bytes lightList = {1};
    Put(lightList, int32_t{8 + 144});
    Put(lightList, uint16_t{8 + 144});
    Put(lightList, uint32_t{144});
    Put(lightList, uint32_t{5});
    lightList.resize(lightList.size() + 144, 0);
    Bytes header(13, 0);
    header[12] = 1 | 8;
    header.insert(header.end(), lightList.begin(), lightList.end());
    Write(corpus / "stored_lists" / "lamp_list_and_recording", header);

    // A session's messages: an animate event, a mouse click, idle, a saved notice.
    Bytes messages;
    auto message = [&](uint8_t number, uint32_t data, int16_t subCode) {
        messages.push_back(number);
        PlugInParamRec params{};
        params.data = data;
        params.subCode = subCode;
        uint8_t raw[sizeof params];
        std::memcpy(raw, &params, sizeof params);
        messages.insert(messages.end(), raw, raw + sizeof params);
    };
    message(kPlugInEvent, kEventAnimate, 0);
    message(kPlugInEvent, kEventMouse, kInputWentDown);
    message(kPlugInEvent, kEventMouse, kInputWentUp);
    message(kPlugInEvent, kEventIdle, 0);
    message(kPlugInDocumentNotice, 0, 3);
    message(kPlugInEvent, kEventSceneEdited | kEventAnimate, 0);
    Write(corpus / "messages" / "session", messages);

    // Scripts: a session of recordings and timeline edits, and one of lights and effects.
    Write(corpus / "scripts" / "record_and_edit.ks",
          std::string("range 0 10\nselect Crate\ntime 0\npress Object\ntime 4\nmove 2 0 0\n"
                      "turn y 90\npress Object\npress Camera\ndrag 1 4 1 5\nclick 0 5\n"
                      "click 1 0 shift\nkey R\nkey delete\nundo\nplay 1\nsave scene.json\n"));
    Write(corpus / "scripts" / "lights_and_effects.ks",
          std::string("open lights_and_cameras.json\nlight sun brightness 0.1\n"
                      "light Lamp colour 1 0.25 0.2\nselect Lamp\neffect light 72 0 0 40\n"
                      "select Pillar\neffect colour 30 0 0\ncolour 0.9 0.9 0.9\ntime 0\n"
                      "press Ambient\ntime 5\nlight ambient brightness 0.4\npress Sun\n"
                      "camera 0 5 10  0 0 0\nplay 2\ntime 0\nrange 0 5\n"));
    std::cout << "seeds written to " << corpus << "\n";
    return 0;
}
