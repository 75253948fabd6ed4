// A small plug-in module for testing the host's side of the protocol: it subscribes to
// animate and idle events, asks for an animation once per new time on idle, and registers
// under the name "Probe" (or refuses to load when the host offers interface version 0).
#include "host/framework.h"
#include "host/plugin_messages.h"

namespace {
int32_t gLastIdleTime = -1;
unsigned char gName[64] = {5, 'P', 'r', 'o', 'b', 'e'};
} // namespace

extern "C" __attribute__((visibility("default"))) int32_t
DoPlugInMessage(uint32_t message, PlugInParamRec* params, int32_t* result) {
    switch (message) {
    case kPlugInLoad:
        if (PL_GetParamRecVersion() == 0) {
            return kPlugInNotHandled;
        }
        *result = 0;
        PL_RegisterPlugin(gName, 1);
        return kPlugInHandled;
    case kPlugInUnload:
        PL_UnregisterPlugin(gName, 1);
        return kPlugInHandled;
    case kPlugInVersion:
        params->version = 0x40000;
        return kPlugInHandled;
    case kPlugInSubscribe:
        params->data = kEventAnimate | kEventIdle;
        params->subCode = 2;
        return kPlugInHandled;
    case kPlugInEvent:
        if ((params->data & kEventIdle) && PL_GetCurTime() != gLastIdleTime) {
            gLastIdleTime = PL_GetCurTime();
            return kPlugInAnimate;
        }
        return kPlugInNotHandled;
    case kPlugInDocumentNotice:
        return GetNotice(*params)->subCode == kNoticeFrontDocumentChanged ? kPlugInHandled
                                                                          : kPlugInNotHandled;
    default:
        return kPlugInNotHandled;
    }
}
