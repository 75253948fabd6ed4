#include "refhost/document/document.h"

#include <utility>

#include "host/scene/scene_object.h"
#include "refhost/scene/build.h"

namespace refhost {

using scene::Assign;
using scene::Release;

Document::Document() {
    fSelected = scene::NewGroupOf(scene::GroupKind::kDisplay);
    fOthers = scene::NewGroupOf(scene::GroupKind::kDisplay);
}

Document::~Document() {
    Release(fSelected);
    Release(fOthers);
    for (OpaqueTQ3Object* view : fViews) {
        Release(view);
    }
}

OpaqueTQ3Object* Document::CurrentView() const {
    return fCurrentView < fViews.size() ? fViews[fCurrentView] : nullptr;
}

void Document::SetCurrentViewIndex(std::size_t index) {
    if (index >= fViews.size()) {
        throw CSceneException("the document has no view " + std::to_string(index));
    }
    fCurrentView = index;
}

void Document::AddView(OpaqueTQ3Object* view) {
    if (!scene::As<scene::View>(view)) {
        throw CSceneException("a document's view must be a view");
    }
    scene::Retain(view);
    fViews.push_back(view);
}

void Document::SetGroups(OpaqueTQ3Object* selected, OpaqueTQ3Object* others) {
    if (!scene::As<scene::Group>(selected) || !scene::As<scene::Group>(others)) {
        throw CSceneException("a document's selection groups must be groups");
    }
    Assign(fSelected, selected);
    Assign(fOthers, others);
}

void Document::SwapScene(Document& other) {
    std::swap(fSelected, other.fSelected);
    std::swap(fOthers, other.fOthers);
    std::swap(fViews, other.fViews);
    std::swap(fCurrentView, other.fCurrentView);
    std::swap(clock, other.clock);
}

} // namespace refhost
