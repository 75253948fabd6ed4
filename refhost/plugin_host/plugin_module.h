// A plug-in module loaded into the host: opened with dlopen, loaded with messages 0
// (load), 2 (version) and 21 (subscription), unloaded with message 1 and closed when the
// object goes. Every message and its result is logged.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/plugin_messages.h"
#include "refhost/framework/host_state.h"

namespace refhost {

// A module that cannot be opened or refuses to load; the message names the file and why.
class PlugInError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct MessageLogEntry {
    uint32_t message;
    uint32_t dataIn;
    int16_t subCodeIn;
    int32_t result;
    uint32_t dataOut;
};

struct EventAnswer {
    int32_t result;
    uint32_t data; // the field as the plug-in left it
};

class PlugInModule {
public:
    explicit PlugInModule(std::string const& path);
    PlugInModule(PlugInModule const&) = delete;
    PlugInModule& operator=(PlugInModule const&) = delete;
    ~PlugInModule();

    int32_t InterfaceVersion() const { return fVersion; }
    uint32_t SubscribedEvents() const { return fEvents; }
    int16_t IdleInterval() const { return fIdleInterval; }
    // The first kLogLimit messages sent, so that a long session keeps constant memory;
    // MessageCount counts them all.
    std::vector<MessageLogEntry> const& Log() const { return fLog; }
    uint64_t MessageCount() const { return fMessageCount; }
    static constexpr std::size_t kLogLimit = 10000;

    // Sends message 22 when the plug-in subscribed to one of the bits; nothing otherwise.
    std::optional<EventAnswer> SendEvent(uint32_t bits, int16_t subCode = 0);
    // Sends message 41 about the front document.
    int32_t SendNotice(int32_t subCode);
    // Any message, with the host's current plug-in set to this one for the call.
    int32_t Send(uint32_t message, PlugInParamRec& params, int32_t* resultWord = nullptr);

private:
    void* fLibrary = nullptr;
    DoPlugInMessageFunction fEntry = nullptr;
    PLFileSpec fSpec;
    int32_t fVersion = 0;
    uint32_t fEvents = 0;
    int16_t fIdleInterval = 1;
    bool fLoaded = false;
    std::vector<MessageLogEntry> fLog;
    uint64_t fMessageCount = 0;
};

} // namespace refhost
