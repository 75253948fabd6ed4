// One session of the plug-in for a fuzz input, the way the host runs it: a document is
// opened and becomes the front one, the plug-in is loaded (load, version, subscription),
// worked and unloaded, and everything the session made is released at the end, so that a
// leak shows in the input that made it.
#pragma once

#include <cstdint>
#include <memory>

#include "host/plugin_messages.h"
#include "refhost/document/document.h"

extern "C" int32_t DoPlugInMessage(uint32_t message, PlugInParamRec* params, int32_t* result);

namespace fuzz {

class PlugInSession {
public:
    // Opens the document in the host and loads the plug-in.
    explicit PlugInSession(std::unique_ptr<refhost::Document> document);
    PlugInSession(PlugInSession const&) = delete;
    PlugInSession& operator=(PlugInSession const&) = delete;
    // Unloads the plug-in, empties its lists and closes the document.
    ~PlugInSession();

    refhost::Document& Document() const { return *fDocument; }
    int32_t Send(uint32_t message, PlugInParamRec& params);
    int32_t Event(uint32_t bits, int16_t subCode = 0);
    // The host moved its clock to time and asks for an animation pass.
    void Tick(int32_t time);

private:
    refhost::Document* fDocument;
    int32_t fResult = 0;
};

} // namespace fuzz
