// The plug-in's entry point called directly, as the host calls it, over a front document
// opened from an example.
#pragma once

#include <gtest/gtest.h>

#include "examples/example_scenes.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/plugin_messages.h"
#include "palette/palette_controller.h"
#include "palette/palette_lookup.h"
#include "palette/set_up_dialog.h"
#include "playback/animation.h"
#include "plugin/dispatcher.h"
#include "plugin/plugin_state.h"
#include "refhost/framework/host_state.h"
#include "tween/recache.h"
#include "tween/row_order.h"

extern "C" int32_t DoPlugInMessage(uint32_t message, PlugInParamRec* params, int32_t* result);

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCustomAttributeGlobals();
        ResetDispatcherStatics();
        gRecache = true;
        document = &refhost::HostState::Instance().Open(examples::TexturedBox());
    }
    void TearDown() override {
        Send(kPlugInUnload);
        DisposeOfLists(gTimeLineCache);
        DisposeOfList(gAnimateColourItems);
        DisposeOfList(gAnimateLightItems);
        DisposeOfList(gAnimateTextureItems);
        gMapLastUpdate.clear();
        NSApp()->discardEvents();
        refhost::HostState::Instance().Reset();
    }

    int32_t Send(uint32_t message, uint32_t data = 0, int16_t subCode = 0) {
        params = {};
        params.data = data;
        params.subCode = subCode;
        return DoPlugInMessage(message, &params, &resultWord);
    }
    int32_t Load() { return Send(kPlugInLoad); }
    int32_t Event(uint32_t bits, int16_t subCode = 0) { return Send(kPlugInEvent, bits, subCode); }
    int32_t Notice(int32_t subCode) {
        PlugInNoticeRec notice{};
        notice.size = sizeof(PlugInNoticeRec);
        notice.subCode = subCode;
        params = {};
        SetNotice(params, &notice);
        return DoPlugInMessage(kPlugInDocumentNotice, &params, &resultWord);
    }
    static float DrawerSeconds(long tag) {
        auto* field = DrawerControl<NSTextField>(tag);
        return field ? field->floatValue() : -1;
    }

    refhost::Document* document = nullptr;
    PlugInParamRec params{};
    int32_t resultWord = -1;
};
