#include "plugin/dispatcher.h"

#include "host/framework.h"
#include "host/scene/attribute_set.h"
#include "palette/palette_sync.h"
#include "palette/set_up_dialog.h"
#include "palette/time_setters.h"
#include "playback/animation.h"
#include "playback/host_time.h"
#include "plugin/plugin_state.h"
#include "plugin/registration.h"
#include "tween/recache.h"

extern "C" int32_t PL_GetAPIVersion();

bool gRecache = true;

namespace {

struct Statics {
    bool oldTimeSet = false;
    int32_t oldTime = 0;
    OpaqueTQ3Object* sView = nullptr;
    int32_t sLastTimeIdle = 0;    // the current time at the last request of the idle branch
    int32_t sLastTimeDefault = 0; // the current time at the last answer of the default branch
    int32_t sLastMaxTime = 0;
};
Statics gStatics;

void RecacheAll() {
    RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems, gAnimateTextureItems);
}

int32_t Load(int32_t* result) {
    if (PL_GetAPIVersion() == 0) {
        return kPlugInNotHandled;
    }
    if (result) {
        *result = 0;
    }
    if (!SetUpDialog()) {
        return kPlugInNotHandled;
    }
    InitCustomAttributeGlobals();
    Str63 name;
    MakeRegistrationName(name);
    PL_RegisterPlugin(name, kRegistrationVersion);
    return kPlugInHandled;
}

int32_t Unload() {
    if (gPalette) {
        PL_DisposeWindow(&gPalette);
    }
    Str63 name;
    MakeRegistrationName(name);
    PL_UnregisterPlugin(name, kRegistrationVersion);
    return kPlugInHandled;
}

void NegotiateVersion(PlugInParamRec& params) {
    if (params.version <= 0x10001) {
        params.data = 0;
    } else {
        params.data = 260;
        params.version = 0x40000;
    }
}

void RefreshTimeDisplay() {
    if (!gStatics.oldTimeSet) {
        gStatics.oldTime = PL_GetCurTime();
        gStatics.oldTimeSet = true;
    }
    // The slider and all three drawer fields follow every change of the clock, by whatever
    // it was made, and only a change: a field being typed into keeps what is typed.
    ShowClockChanges();
}

// A new view: read its clock again and rewrite all three drawer fields. The detour through
// 1000000 makes each of the three setters see a change.
void FollowView() {
    OpaqueTQ3Object* view = PL_GetTheView();
    if (view == gStatics.sView) {
        return;
    }
    gRecache = true;
    gStatics.sView = view;
    int32_t minimum = PL_GetMinTime(), current = PL_GetCurTime(), maximum = PL_GetMaxTime();
    PL_SetMaxTime(1000000);
    PL_SetCurTime(1000000);
    PL_SetMinTime(1000000);
    SetMinTime(minimum, true);
    SetCurTime(current, true);
    SetMaxTime(maximum, true);
    SetDrawerField(kSpeedFieldTag, PL_GetTimeMultiplier());
    MarkPaletteViewsForRedisplay({kTimeSliderTag, kTimeLineTag, kNameColumnTag});
}

int32_t IdleEvent(PlugInParamRec& params) {
    int32_t now = PL_GetCurTime();
    if (AllListsEmpty() || now == gStatics.sLastTimeIdle) {
        return kPlugInNotHandled;
    }
    gStatics.sLastTimeIdle = now;
    params.data = 0;
    return kPlugInAnimate;
}

int32_t PaletteActivated() {
    if (PL_WindowIsVisible(gPalette) == 0) {
        return kPlugInHandled;
    }
    gRecache = true;
    if (PL_GetFrontDocument() != gCachedDocument) {
        RecacheAll();
        gRecache = false;
    }
    MarkPaletteViewsForRedisplay({kTimeSliderTag, kTimeLineTag, kNameColumnTag});
    return kPlugInHandled;
}

int32_t DefaultEvent(PlugInParamRec& params) {
    bool visible = PaletteIsVisible();
    if (gRecache) {
        gRecache = false;
        RecacheAll();
        if (visible) {
            MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
        }
    }
    if (PL_GetMaxTime() != gStatics.sLastMaxTime) {
        gStatics.sLastMaxTime = PL_GetMaxTime();
        gStatics.sLastTimeDefault = HostTimeSum(PL_GetCurTime(), 1);
    }
    int32_t result = kPlugInHandled;
    int32_t now = PL_GetCurTime();
    if (now != gStatics.sLastTimeDefault) {
        bool held = (params.data & (kEventMouse | kEventKey)) != 0 && params.subCode == 3;
        result = !AllListsEmpty() && !held ? kPlugInAnimate : kPlugInHandled;
        gStatics.sLastTimeDefault = now;
        if (visible) {
            MarkPaletteViewsForRedisplay({kTimeLineTag, kNameColumnTag});
        }
    }
    params.data = 2;
    return result;
}

int32_t Event(PlugInParamRec& params) {
    ShowTransportState(PL_GetPaused() != 0, PL_GetForwards() != 0);
    RefreshTimeDisplay();
    FollowView();
    uint32_t bits = params.data;
    if (bits & kEventAnimate) {
        DoAnimation();
        return kPlugInNotHandled;
    }
    if (bits & kEventIdle) {
        return IdleEvent(params);
    }
    if (bits & kEventPaletteActivated) {
        return PaletteActivated();
    }
    if (bits & kEventDocumentOpened) {
        ForgetFrontViewPass();
        RecacheAll();
        gRecache = false;
        return kPlugInHandled;
    }
    if (bits & (kEventSceneEdited | kEventSelectionChanged)) {
        gRecache = true;
        return kPlugInHandled;
    }
    return DefaultEvent(params);
}

int32_t DocumentNotice(PlugInParamRec const& params) {
    PlugInNoticeRec const* notice = GetNotice(params);
    if (!notice) {
        return kPlugInNotHandled;
    }
    if (notice->subCode == 0) {
        RecacheAll();
        PL_DrawDocumentViews(1);
        PL_DataChanged();
    }
    if (notice->subCode == 2) {
        RecacheAll();
    }
    if (notice->subCode == 3) {
        gRecache = true;
        PL_DrawDocumentViews(3);
        PL_DataChanged();
    }
    return kPlugInNotHandled;
}

} // namespace

int32_t DispatchMessage(uint32_t message, PlugInParamRec* params, int32_t* result) {
    if (!params || message > kPlugInLastMessage) {
        return kPlugInNotHandled;
    }
    switch (message) {
    case kPlugInLoad:
        return Load(result);
    case kPlugInUnload:
        return Unload();
    case kPlugInVersion:
        NegotiateVersion(*params);
        return kPlugInHandled;
    case 12:
    case 15:
    case 18:
    case 23:
        return kPlugInHandled;
    case kPlugInSubscribe:
        params->subCode = kSubscriptionSubCode;
        params->data = kSubscribedEvents;
        return kPlugInHandled;
    case kPlugInEvent:
        return Event(*params);
    case kPlugInDocumentNotice:
        return DocumentNotice(*params);
    default:
        return kPlugInNotHandled;
    }
}

void ResetDispatcherStatics() {
    gStatics = Statics{};
}
