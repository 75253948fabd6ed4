// A host document: the scene (the group of selected objects, the group of the other
// objects, the views with their cameras and lights) and the clock settings saved with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "refhost/scene/objects.h"

namespace refhost {

struct ClockSettings {
    uint32_t unitsPerSecond = 600;
    int32_t minimum = 0;
    int32_t current = 0;
    int32_t maximum = 6000;
    float speed = 1.0f;
    bool operator==(ClockSettings const&) const = default;
};

// How the clock runs; not saved with the document.
struct PlaybackState {
    bool paused = true;
    bool forwards = true;
    int32_t animationMode = 0;
    int32_t playDirection = 0;
};

class Document {
public:
    // An empty scene: two empty display groups and no view.
    Document();
    Document(Document const&) = delete;
    Document& operator=(Document const&) = delete;
    ~Document();

    // Borrowed: valid while the document lives.
    OpaqueTQ3Object* SelectedGroup() const { return fSelected; }
    OpaqueTQ3Object* OtherGroup() const { return fOthers; }
    std::vector<OpaqueTQ3Object*> const& Views() const { return fViews; }
    // The view the user works in, or null when the document has none.
    OpaqueTQ3Object* CurrentView() const;
    std::size_t CurrentViewIndex() const { return fCurrentView; }
    void SetCurrentViewIndex(std::size_t index);

    // Adds a view (a reference of the document's own); the first becomes current.
    void AddView(OpaqueTQ3Object* view);
    // Replaces the two groups (references of the document's own). Both must be groups.
    void SetGroups(OpaqueTQ3Object* selected, OpaqueTQ3Object* others);

    // Exchanges the scene (groups, views, current view) and the clock with other's; the
    // paths, playback states and edited flags stay.
    void SwapScene(Document& other);

    ClockSettings clock;
    PlaybackState playback;
    // Edited since it was opened or last saved.
    bool edited = false;
    // The file the document was opened from or last saved to; empty for a new one.
    std::string path;

private:
    OpaqueTQ3Object* fSelected = nullptr;
    OpaqueTQ3Object* fOthers = nullptr;
    std::vector<OpaqueTQ3Object*> fViews;
    std::size_t fCurrentView = 0;
};

} // namespace refhost
