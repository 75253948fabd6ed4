// Stored tween lists of any bytes on the objects, the view's camera and lights of the
// example with every kind of light and camera, run through the plug-in: a rebuild of the
// rows, animation passes at several times, a redraw of the timeline palette, editing and a
// write-back of every row.
//
// Input: a 13-byte header (three little-endian 32-bit times, then a byte of switches: 1
// record from the palette's buttons, 2 select every tween point, 8 delete them, 16 and 32
// together draw the palette, which is slow enough to be kept to a quarter of the inputs; 4
// is not used, as mirroring, whose sums of stored times can still overflow, is left out),
// then lists, each a target byte (which object, modulo 5), a little-endian 32-bit size
// field, a little-endian 16-bit byte count and that many bytes of block.
#include <cstdint>
#include <cstring>
#include <vector>

#include "authoring/tween_editing.h"
#include "examples/example_scenes.h"
#include "fuzz/plugin_session.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/memory.h"
#include "host/scene.h"
#include "palette/set_up_dialog.h"
#include "plugin/plugin_state.h"
#include "refhost/toolkit/render.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/row_order.h"

namespace {

class Input {
public:
    Input(uint8_t const* data, std::size_t size) : fData(data), fSize(size) {}
    bool Has(std::size_t n) const { return fSize - fAt >= n; }
    template <typename T>
    T Take() {
        T value{};
        if (Has(sizeof value)) {
            std::memcpy(&value, fData + fAt, sizeof value);
            fAt += sizeof value;
        }
        return value;
    }
    std::vector<uint8_t> TakeBytes(std::size_t n) {
        n = std::min(n, fSize - fAt);
        std::vector<uint8_t> bytes(fData + fAt, fData + fAt + n);
        fAt += n;
        return bytes;
    }

private:
    uint8_t const* fData;
    std::size_t fSize;
    std::size_t fAt = 0;
};

CGroupObject Member(CGroupObject const& group, int index) {
    auto* position = group.GetFirstObject();
    for (int i = 0; i < index && position; ++i) {
        position = group.NextPosition(position);
    }
    return CGroupObject(group, position);
}

// The pillar (selected), the lamp, the camera, the ambient light and the sun of the example.
CShapeObject Target(refhost::Document const& document, uint8_t which) {
    CGroupObject others(document.OtherGroup());
    CViewObject view(document.CurrentView());
    switch (which % 5) {
    case 0:
        return Member(CGroupObject(document.SelectedGroup()), 0);
    case 1: {
        CGroupObject lamp = Member(others, 0);
        return CShapeObject(lamp, lamp.GetFirstObjectOfType("lght"_4cc));
    }
    case 2:
        return CCameraObject(view);
    case 3: {
        CLightGroupObject lights(view);
        return CShapeObject(lights, lights.GetFirstObjectOfType("ambn"_4cc));
    }
    default: {
        CLightGroupObject lights(view);
        return CShapeObject(lights, lights.GetFirstObjectOfType("drct"_4cc));
    }
    }
}

void PutList(CShapeObject const& shape, int32_t size, std::vector<uint8_t> const& bytes) {
    Handle block = NewHandle(static_cast<Size>(bytes.size()));
    if (!block) {
        return;
    }
    if (!bytes.empty()) {
        std::memcpy(*block, bytes.data(), bytes.size());
    }
    THandlePair pair{size, block};
    CSetObject(shape).AddType(GetCustomAttributeType(eTweenAttribute), &pair);
}

NSButton* ButtonTitled(NSView* root, char const* title) {
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

void Click(NSView* view) {
    if (!view || !view->window()) {
        return;
    }
    NSRect const frame = view->convertRectToView(view->bounds(), nullptr);
    for (NSEventType type : {NSEventType::leftMouseDown, NSEventType::leftMouseUp}) {
        NSApp()->postEvent(NSEvent::mouseEventWithType(type, {NSMidX(frame), NSMidY(frame)}, 0,
                                                       view->window()->windowNumber()),
                           false);
    }
    NSApp()->processPendingEvents();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, std::size_t size) {
    Input input(data, size);
    int32_t const times[3] = {input.Take<int32_t>(), input.Take<int32_t>(), input.Take<int32_t>()};
    auto const switches = input.Take<uint8_t>();

    InitCustomAttributeGlobals();
    std::unique_ptr<refhost::Document> document = examples::LightsAndCameras();
    {
        // The pillar is selected, so the palette's Object button records it.
        CGroupObject others(document->OtherGroup());
        CGroupObject pillar = Member(others, 2);
        others.RemoveObject(others.NextPosition(others.NextPosition(others.GetFirstObject())));
        CGroupObject(document->SelectedGroup()).AddObject(pillar);
    }
    while (input.Has(7)) {
        auto const which = input.Take<uint8_t>();
        auto const sizeField = input.Take<int32_t>();
        auto const count = input.Take<uint16_t>();
        PutList(Target(*document, which), sizeField, input.TakeBytes(count));
    }

    fuzz::PlugInSession session(std::move(document));
    for (int32_t time : times) {
        session.Tick(time);
    }
    if ((switches & 1) && gPalette) {
        for (char const* title : {"Camera", "Ambient", "Sun", "Object"}) {
            Click(ButtonTitled(gPalette->contentView(), title));
        }
        session.Tick(times[0]);
    }
    if (switches & 2) {
        for (uint32_t row = 0; row < gTimeLineCache.Count(); ++row) {
            for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
                gTimeLineCache[row]->Record(i).selected = true;
            }
        }
    }
    if (switches & 8) {
        DeleteSelectedTweens();
        gRecache = true;
        session.Tick(times[1]);
    }
    if ((switches & 48) == 48 && gPalette) {
        refhost::RenderWindow(*gPalette);
    }
    WriteBackAllRows(gTimeLineCache);
    session.Tick(times[2]);
    return 0;
}
