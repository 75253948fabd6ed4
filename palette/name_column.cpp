#include "palette/name_column.h"

#include <vector>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "palette/palette_lookup.h"
#include "palette/palette_sync.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

namespace {

// Below the rows, the column leaves this much unpainted: the height of the timeline's
// horizontal scroll bar beside it.
constexpr float kUnpaintedBottom = 18;
// How far names and stripes are lifted while the timeline scrolls.
constexpr float kScrollingLift = 4;

bool DocumentIsOpen() {
    return PL_GetFrontDocument() != nullptr;
}

// Stripes while the timeline scrolls: from the header down past the bottom edge.
void FillScrollingStripes(NSRect const& R, NameColumnLayout const& layout,
                          std::vector<NSColor> const& colours) {
    float y = layout.HeaderY();
    for (std::size_t i = 0;; ++i) {
        colours[i % colours.size()].setFill();
        NSRectFill(NSMakeRect(R.origin.x, y, R.size.width, layout.rowHeight));
        if (R.origin.y > y + layout.rowHeight) {
            break;
        }
        y -= layout.rowHeight;
    }
}

// Stripes while everything fits: they start above the top so that their colours continue the
// timeline's even when it is scrolled by less than two rows, and stop above the scroll bar.
void FillFittingStripes(NSRect const& R, NameColumnLayout const& layout, int32_t scroll,
                        std::vector<NSColor> const& colours) {
    auto const h = static_cast<int32_t>(layout.rowHeight);
    float y = layout.top + 3 * layout.rowHeight - static_cast<float>(scroll % (2 * h));
    float const floor = R.origin.y + kUnpaintedBottom;
    for (std::size_t i = 0;; ++i) {
        NSRect stripe = NSMakeRect(R.origin.x, y, R.size.width, layout.rowHeight);
        bool last = false;
        if (floor > y) {
            stripe.size.height -= floor - y;
            stripe.origin.y = floor;
            last = true;
        }
        if (stripe.size.height > 0) {
            colours[i % colours.size()].setFill();
            NSRectFill(stripe);
        }
        if (last || floor > y + layout.rowHeight) {
            break;
        }
        y -= layout.rowHeight;
    }
}

void DrawHeader(NSRect const& R, float y) {
    Draw(CStr255("Object Name"), 10.0f, y);
    NSColor::lightGrayColor().setStroke();
    NSBezierPath::strokeLineFromPoint(NSMakePoint(R.origin.x, y),
                                      NSMakePoint(R.origin.x + R.size.width, y));
    NSColor::blackColor().setStroke();
}

bool IsSelectedMember(OpaqueTQ3Object* object) {
    OpaqueTQ3Object* selectedGroup = PL_GetGroupObject(kPLSelectedObjectsGroup);
    if (!selectedGroup || !object) {
        return false;
    }
    CGroupObject selected(selectedGroup);
    for (auto* at = selected.GetFirstObject(); at; at = selected.NextPosition(at)) {
        if (selected.GetObjectAt(at).GetObject() == object) {
            return true;
        }
    }
    return false;
}

CStr255 ObjectName(OpaqueTQ3Object* object) {
    try {
        for (uint32_t which : {kPLOtherObjectsGroup, kPLSelectedObjectsGroup}) {
            OpaqueTQ3Object* groupObject = PL_GetGroupObject(which);
            if (!groupObject) {
                continue;
            }
            CGroupObject group(groupObject);
            if (auto* at = FindGroupThisObjIsIn(object, group)) {
                return CSetObject(CShapeObject(group.GetObjectAt(at))).GetNameAttribute();
            }
        }
    } catch (...) {
        return CStr255("Unnamed Object");
    }
    return CStr255();
}

char const* LightTypeName(TQ3ObjectType type) {
    switch (type) {
    case "drct"_4cc:
        return "Sun Light";
    case "pntl"_4cc:
        return "Point Light";
    case "spot"_4cc:
        return "Spot Light";
    case "ambn"_4cc:
        return "Ambient Light";
    default:
        return "Light";
    }
}

CStr255 LightName(OpaqueTQ3Object* object) {
    try {
        CSharedObject shared(object);
        if (!shared.IsAGroup()) {
            return CStr255(LightTypeName(shared.GetLeafType()));
        }
        CGroupObject group(object);
        auto* light = group.GetFirstObjectOfType("lght"_4cc);
        return CStr255(light ? LightTypeName(group.GetObjectAt(light).GetLeafType()) : "Light");
    } catch (...) {
        return CStr255("Light");
    }
}

} // namespace

NameColumnLayout::NameColumnLayout(NSRect const& R, uint32_t rows, int32_t scroll, int32_t height)
    : top(NSMaxY(R)), rowHeight(static_cast<float>(height)) {
    int64_t const content = static_cast<int64_t>(rows + 1) * height;
    int64_t const visible = TruncateToInt32(R.size.height - rowHeight);
    scrolls = content > visible;
    if (scrolls) {
        shift = static_cast<float>(content - scroll - visible);
    }
}

float NameColumnLayout::HeaderY() const {
    return scrolls ? top - rowHeight + kScrollingLift + shift : top - rowHeight;
}

float NameColumnLayout::ClickedRowY(uint32_t k) const {
    return top - static_cast<float>(k + 2) * rowHeight + (scrolls ? shift : 0);
}

void DrawTweenedObjectNames(TDynamicArray<CCache*>& caches, NSRect const& R, int32_t scroll) {
    NameColumnLayout const layout(R, caches.Count(), scroll, gTextHeight);
    std::vector<NSColor> const colours = NSColor::controlAlternatingRowBackgroundColors();
    if (layout.scrolls) {
        FillScrollingStripes(R, layout, colours);
    } else {
        FillFittingStripes(R, layout, scroll, colours);
    }
    DrawHeader(R, layout.HeaderY());
    if (!DocumentIsOpen()) {
        return;
    }
    NSRect row = NSMakeRect(R.origin.x, layout.DrawnRowY(0), R.size.width, layout.rowHeight);
    for (uint32_t i = 0;; ++i) {
        if (i < caches.Count()) {
            DrawSelfName(caches[i], row);
        }
        if (R.origin.y > NSMaxY(row)) {
            break;
        }
        row.origin.y -= layout.rowHeight;
    }
}

void DrawSelfName(CCache* cache, NSRect const& row) {
    if (IsSelectedMember(cache->object)) {
        NSColor::selectedTextBackgroundColor().setFill();
        NSRectFill(row);
    }
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(row);
    DrawName(cache, row.origin.y);
    NSGraphicsContext::restoreGraphicsState();
}

CStr255 NameOfRow(CCache* cache) {
    CStr255 name;
    switch (cache->kind) {
    case eCameraCache:
        name = "Camera";
        break;
    case eObjectCache:
        name = ObjectName(cache->object);
        break;
    case eLightCache:
        name = LightName(cache->object);
        break;
    default:
        name = "Unnamed Object";
        break;
    }
    return name.IsEmpty() ? CStr255("Unnamed Object") : name;
}

void DrawName(CCache* cache, float y) {
    Draw(NameOfRow(cache), 10.0f, y);
}

CCache* GetClickedCache(TDynamicArray<CCache*>& caches, NSPoint p, NSRect const& R,
                        int32_t scroll) {
    NameColumnLayout const layout(R, caches.Count(), scroll, gTextHeight);
    for (uint32_t i = 0;; ++i) {
        float const y = layout.ClickedRowY(i);
        if (i < caches.Count() &&
            NSPointInRect(p, NSMakeRect(R.origin.x, y, R.size.width, layout.rowHeight))) {
            return caches[i];
        }
        if (R.origin.y > y + layout.rowHeight) {
            return nullptr;
        }
    }
}

void SelectObjectName(TDynamicArray<CCache*>& caches, NSPoint p, NSRect const& R, int32_t scroll) {
    CCache* cache = GetClickedCache(caches, p, R, scroll);
    if (!cache) {
        return;
    }
    cache->SelectObject(PL_GetGroupObject(kPLSelectedObjectsGroup),
                        PL_GetGroupObject(kPLOtherObjectsGroup));
    PL_DataChanged();
    PL_DrawDocumentViews(1);
    if (PaletteIsVisible()) {
        MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
    }
}
