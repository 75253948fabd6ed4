// The module's two entry points. Every failure inside a message ends it with -1; nothing
// escapes to the host.
#include "host/framework.h"
#include "plugin/dispatcher.h"

extern "C" {

__attribute__((visibility("default"))) int32_t
DoPlugInMessage(uint32_t message, PlugInParamRec* params, int32_t* result) {
    try {
        return DispatchMessage(message, params, result);
    } catch (...) {
        return kPlugInNotHandled;
    }
}

__attribute__((visibility("default"), weak)) int32_t PL_GetAPIVersion() {
    return PL_GetParamRecVersion();
}
}
