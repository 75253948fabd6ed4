// The message protocol between the host and a plug-in module. The host calls the module's
// DoPlugInMessage(message, params, result) for every load, unload, version query, event
// subscription, event and document notice; the results are kPlugInHandled, kPlugInNotHandled
// and, for events, kPlugInAnimate.
//
// The host's meaning of the values (the plug-in sees only the numbers):
// - message 22 (event), field `data` in: the event bits; `subCode` in: what the mouse or key
//   is doing for bits 0x1 and 0x2 (1 went down, 2 went up, 3 is held and moving);
//   field `data` out: 0 the plug-in is done with the event, 2 other plug-ins may have it too.
// - message 21 (subscription), out: `data` the event bits the plug-in wants (the host sends
//   only those) and `subCode` how often it wants idle events (ticks between two of them).
// - message 2 (version), in: `version` the host's interface version; out: `version` the
//   plug-in's and `data` the size in bytes of the plug-in's part of the parameter record.
// - message 41 (document notice): `notice` addresses a PlugInNoticeRec.
// - result kPlugInAnimate (-2) to an event asks the host to send an animate event (0x4000)
//   and then draw the document's views again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/framework.h"

inline constexpr uint32_t kPlugInLoad = 0;
inline constexpr uint32_t kPlugInUnload = 1;
inline constexpr uint32_t kPlugInVersion = 2;
inline constexpr uint32_t kPlugInSubscribe = 21;
inline constexpr uint32_t kPlugInEvent = 22;
inline constexpr uint32_t kPlugInDocumentNotice = 41;
inline constexpr uint32_t kPlugInLastMessage = 41;

inline constexpr int32_t kPlugInHandled = 0;
inline constexpr int32_t kPlugInNotHandled = -1;
inline constexpr int32_t kPlugInAnimate = -2;

// Event bits of message 22.
inline constexpr uint32_t kEventMouse = 0x1;                // a mouse event in a document window
inline constexpr uint32_t kEventKey = 0x2;                  // a key event in a document window
inline constexpr uint32_t kEventIdle = 0x8;                 // nothing else happened
inline constexpr uint32_t kEventSceneEdited = 0x200;        // objects were changed
inline constexpr uint32_t kEventSelectionChanged = 0x800;   // objects were (de)selected
inline constexpr uint32_t kEventAnimate = 0x4000;           // the current time changed: animate now
inline constexpr uint32_t kEventPaletteActivated = 0x20000; // a palette window came forward
inline constexpr uint32_t kEventDocumentOpened = 0x100000;  // a document was opened

// Sub-codes of the mouse and key events.
inline constexpr int16_t kInputWentDown = 1;
inline constexpr int16_t kInputWentUp = 2;
inline constexpr int16_t kInputHeld = 3;

// Sub-codes of a document notice.
inline constexpr int32_t kNoticeDocumentReplaced = 0; // reverted or undone: all is new
inline constexpr int32_t kNoticeDocumentSaved = 1;
inline constexpr int32_t kNoticeFrontDocumentChanged = 2;
inline constexpr int32_t kNoticeSceneChangedElsewhere = 3; // another plug-in changed the scene

struct PlugInNoticeRec {
    int32_t size;    // sizeof(PlugInNoticeRec)
    int32_t subCode; // at offset 4
    PLDocumentRef document;
};
static_assert(offsetof(PlugInNoticeRec, subCode) == 4);

// The parameter record; little-endian. In message 41 the 8 bytes from offset 4 hold the
// notice's address, so the 32-bit field at offset 8 is then part of it.
struct PlugInParamRec {
    int32_t version;    // offset 0
    uint32_t data;      // offset 4
    uint32_t reserved8; // offset 8
    int16_t subCode;    // offset 12
    int16_t reserved14;
    uint32_t reserved[4]; // room for the host's own use
};
static_assert(offsetof(PlugInParamRec, data) == 4 && offsetof(PlugInParamRec, subCode) == 12);
static_assert(sizeof(PlugInParamRec) == 32);

inline PlugInNoticeRec* GetNotice(PlugInParamRec const& params) {
    PlugInNoticeRec* notice = nullptr;
    std::memcpy(&notice, reinterpret_cast<char const*>(&params) + 4, sizeof notice);
    return notice;
}

inline void SetNotice(PlugInParamRec& params, PlugInNoticeRec* notice) {
    std::memcpy(reinterpret_cast<char*>(&params) + 4, &notice, sizeof notice);
}

extern "C" {
using DoPlugInMessageFunction = int32_t (*)(uint32_t message, PlugInParamRec* params,
                                            int32_t* result);
using GetAPIVersionFunction = int32_t (*)();
}
