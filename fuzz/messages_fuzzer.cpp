// DoPlugInMessage with any message number and parameter record, after a normal load of the
// textured box example. Input: records of one message byte and the 32 bytes of a parameter
// record. The host's contract is kept where the record carries an address: a document
// notice (message 41) gets a real notice record (its fields from the input) or none. Loading
// and unloading are the session's own frame, so the input sends neither.
#include <cstdint>
#include <cstring>

#include "examples/example_scenes.h"
#include "fuzz/plugin_session.h"
#include "host/framework.h"
#include "host/plugin_messages.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, std::size_t size) {
    fuzz::PlugInSession session(examples::TexturedBox());
    constexpr std::size_t kRecord = 1 + sizeof(PlugInParamRec);
    for (std::size_t at = 0; at + kRecord <= size; at += kRecord) {
        uint32_t const message = data[at] % 64;
        if (message == kPlugInLoad || message == kPlugInUnload) {
            continue;
        }
        PlugInParamRec params{};
        std::memcpy(&params, data + at + 1, sizeof params);
        PlugInNoticeRec notice{};
        if (message == kPlugInDocumentNotice) {
            notice.size = params.version;
            notice.subCode = static_cast<int32_t>(params.reserved8);
            notice.document = (params.subCode & 1) ? PL_GetFrontDocument() : nullptr;
            SetNotice(params, (params.subCode & 2) ? &notice : nullptr);
        }
        session.Send(message, params);
    }
    return 0;
}
