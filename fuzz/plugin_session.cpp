#include "fuzz/plugin_session.h"

#include <algorithm>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "playback/animation.h"
#include "plugin/dispatcher.h"
#include "plugin/plugin_state.h"
#include "refhost/framework/host_state.h"
#include "tween/recache.h"
#include "tween/row_order.h"

namespace fuzz {

PlugInSession::PlugInSession(std::unique_ptr<refhost::Document> document) {
    InitCustomAttributeGlobals();
    ResetDispatcherStatics();
    gRecache = true;
    fDocument = &refhost::HostState::Instance().Open(std::move(document));
    PlugInParamRec params{};
    Send(kPlugInLoad, params);
    params = {};
    params.version = refhost::HostState::Instance().paramRecVersion;
    Send(kPlugInVersion, params);
    params = {};
    Send(kPlugInSubscribe, params);
    Event(kEventDocumentOpened);
}

PlugInSession::~PlugInSession() {
    PlugInParamRec params{};
    Send(kPlugInUnload, params);
    // What the code's unloading would release.
    DisposeOfLists(gTimeLineCache);
    DisposeOfList(gAnimateColourItems);
    DisposeOfList(gAnimateLightItems);
    DisposeOfList(gAnimateTextureItems);
    gMapLastUpdate.clear();
    NSApp()->discardEvents();
    refhost::HostState::Instance().Reset();
}

int32_t PlugInSession::Send(uint32_t message, PlugInParamRec& params) {
    return DoPlugInMessage(message, &params, &fResult);
}

int32_t PlugInSession::Event(uint32_t bits, int16_t subCode) {
    PlugInParamRec params{};
    params.data = bits;
    params.subCode = subCode;
    return Send(kPlugInEvent, params);
}

void PlugInSession::Tick(int32_t time) {
    // The clock spans a minute around the time, within 32 bits: the palette's time slider
    // maps spans of up to 2^31 - 1 units.
    constexpr int64_t kMinute = 600 * 60;
    fDocument->clock.minimum = static_cast<int32_t>(std::max<int64_t>(INT32_MIN, time - kMinute));
    fDocument->clock.maximum = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, time + kMinute));
    PL_SetCurTime(time);
    Event(kEventIdle);
    Event(kEventAnimate);
}

} // namespace fuzz
