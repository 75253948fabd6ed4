#include "refhost/plugin_host/plugin_module.h"

#include <dlfcn.h>

namespace refhost {

namespace {

// Runs the plug-in as the current one and puts the previous one back afterwards.
class CurrentPlugIn {
public:
    explicit CurrentPlugIn(PLFileSpec const* file)
        : fPrevious(HostState::Instance().currentPlugIn) {
        HostState::Instance().currentPlugIn = file;
    }
    CurrentPlugIn(CurrentPlugIn const&) = delete;
    CurrentPlugIn& operator=(CurrentPlugIn const&) = delete;
    ~CurrentPlugIn() { HostState::Instance().currentPlugIn = fPrevious; }

private:
    PLFileSpec const* fPrevious;
};

} // namespace

PlugInModule::PlugInModule(std::string const& path) : fSpec{path} {
    fLibrary = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!fLibrary) {
        char const* why = dlerror();
        throw PlugInError("cannot open the plug-in " + path + ": " + (why ? why : "unknown"));
    }
    fEntry = reinterpret_cast<DoPlugInMessageFunction>(dlsym(fLibrary, "DoPlugInMessage"));
    if (!fEntry) {
        dlclose(fLibrary);
        throw PlugInError("the plug-in " + path + " has no DoPlugInMessage");
    }
    PlugInParamRec params{};
    int32_t resultWord = -1;
    if (Send(kPlugInLoad, params, &resultWord) != kPlugInHandled) {
        dlclose(fLibrary);
        throw PlugInError("the plug-in " + path + " refused to load");
    }
    fLoaded = true;
    params = {};
    params.version = HostState::Instance().paramRecVersion;
    Send(kPlugInVersion, params);
    fVersion = params.version;
    params = {};
    Send(kPlugInSubscribe, params);
    fEvents = params.data;
    fIdleInterval = params.subCode > 0 ? params.subCode : 1;
}

PlugInModule::~PlugInModule() {
    if (fLoaded) {
        PlugInParamRec params{};
        Send(kPlugInUnload, params);
    }
    dlclose(fLibrary);
}

std::optional<EventAnswer> PlugInModule::SendEvent(uint32_t bits, int16_t subCode) {
    if ((bits & fEvents) == 0) {
        return std::nullopt;
    }
    PlugInParamRec params{};
    params.data = bits;
    params.subCode = subCode;
    int32_t result = Send(kPlugInEvent, params);
    return EventAnswer{result, params.data};
}

int32_t PlugInModule::SendNotice(int32_t subCode) {
    PlugInNoticeRec notice{sizeof(PlugInNoticeRec), subCode, PL_GetFrontDocument()};
    PlugInParamRec params{};
    SetNotice(params, &notice);
    return Send(kPlugInDocumentNotice, params);
}

int32_t PlugInModule::Send(uint32_t message, PlugInParamRec& params, int32_t* resultWord) {
    MessageLogEntry entry{message, params.data, params.subCode, 0, 0};
    {
        CurrentPlugIn current(&fSpec);
        entry.result = fEntry(message, &params, resultWord);
    }
    entry.dataOut = params.data;
    if (fLog.size() < kLogLimit) {
        fLog.push_back(entry);
    }
    ++fMessageCount;
    return entry.result;
}

} // namespace refhost
