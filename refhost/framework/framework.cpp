// The plug-in framework's clock, document and registration calls over the host's state.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "host/framework.h"
#include "refhost/framework/host_state.h"

using refhost::Document;
using refhost::HostState;

namespace {

Document* Front() {
    return HostState::Instance().Front();
}

std::string RegistrationName(ConstStringPtr name) {
    return name ? std::string(reinterpret_cast<char const*>(name + 1), name[0]) : std::string();
}

} // namespace

int32_t PL_GetParamRecVersion() {
    return HostState::Instance().paramRecVersion;
}

void PL_RegisterPlugin(ConstStringPtr name, int32_t version) {
    HostState::Instance().registrations.push_back({RegistrationName(name), version});
}

void PL_UnregisterPlugin(ConstStringPtr name, int32_t version) {
    std::erase(HostState::Instance().registrations,
               refhost::Registration{RegistrationName(name), version});
}

PLFileSpec const* PL_GetMyFileSpec() {
    return HostState::Instance().currentPlugIn;
}

void PL_GetFileName(PLFileSpec const* file, Str255 name) {
    std::string stem = file ? std::filesystem::path(file->path).stem().string() : std::string();
    CStr255 text(stem);
    std::memcpy(name, text.Pascal(), text.Length() + 1u);
}

int32_t PL_GetMinTime() {
    return Front() ? Front()->clock.minimum : 0;
}
int32_t PL_GetCurTime() {
    return Front() ? Front()->clock.current : 0;
}
int32_t PL_GetMaxTime() {
    return Front() ? Front()->clock.maximum : 0;
}

void PL_SetMinTime(int32_t time) {
    if (Front()) {
        Front()->clock.minimum = time;
    }
}

void PL_SetCurTime(int32_t time) {
    if (Front()) {
        Front()->clock.current = time;
    }
}

void PL_SetMaxTime(int32_t time) {
    if (Front()) {
        Front()->clock.maximum = time;
    }
}

uint32_t PL_GetTimeUnitsPerSecond() {
    return Front() ? Front()->clock.unitsPerSecond : 600;
}

float PL_GetTimeMultiplier() {
    return Front() ? Front()->clock.speed : 1.0f;
}

void PL_SetTimeMultiplier(float speed) {
    if (Front()) {
        Front()->clock.speed = speed;
    }
}

int32_t PL_GetPaused() {
    return Front() ? Front()->playback.paused : 1;
}

void PL_SetPaused(int32_t paused) {
    if (Front()) {
        Front()->playback.paused = paused != 0;
    }
}

int32_t PL_GetForwards() {
    return Front() ? Front()->playback.forwards : 1;
}

void PL_SetForwards(int32_t forwards) {
    if (Front()) {
        Front()->playback.forwards = forwards != 0;
    }
}

int32_t PL_GetAnimationMode() {
    return Front() ? Front()->playback.animationMode : 0;
}

void PL_SetAnimationMode(int32_t mode) {
    if (Front()) {
        Front()->playback.animationMode = std::clamp(mode, 0, 2);
    }
}

void PL_SetPlayDirection(int32_t direction) {
    if (Front()) {
        Front()->playback.playDirection = std::clamp(direction, 0, 2);
    }
}

PLDocumentRef PL_GetFrontDocument() {
    return reinterpret_cast<PLDocumentRef>(Front());
}

OpaqueTQ3Object* PL_GetTheView() {
    return Front() ? Front()->CurrentView() : nullptr;
}

OpaqueTQ3Object* PL_GetGroupObject(uint32_t selector) {
    if (!Front()) {
        return nullptr;
    }
    switch (selector) {
    case kPLSelectedObjectsGroup:
        return Front()->SelectedGroup();
    case kPLOtherObjectsGroup:
        return Front()->OtherGroup();
    default:
        return nullptr;
    }
}

TQ3ColorRGB const* PL_GetColor(int32_t index) {
    return index == 0 ? &HostState::Instance().selectionColour : nullptr;
}

void PL_DrawDocumentViews(int32_t which) {
    HostState& host = HostState::Instance();
    ++host.documentRedraws;
    if (which == 3) {
        ++host.windowRedraws;
    }
}

void PL_DataChanged() {
    if (Front()) {
        Front()->edited = true;
    }
}

void PL_DoUndo(int32_t, int32_t, int32_t, int32_t) {
    HostState::Instance().PushUndoStep();
}

void PL_ForceCSGRecache() {
    ++HostState::Instance().csgRecaches;
}
