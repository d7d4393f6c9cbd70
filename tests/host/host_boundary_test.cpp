// The plug-in as a host sees it: the AEffect record, every dispatcher row,
// the can-do table and the parameter interface.

#include <cstring>

#include "host/plugin_test_support.h"
#include "params/parameter_table.h"

namespace tvx {

namespace {

class HostBoundary : public LoadedPlugin {
protected:
    VstIntPtr op(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return host.dispatch(opcode, index, value, ptr, opt);
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[256];
        std::memset(buffer, 'x', sizeof(buffer));
        buffer[255] = 0;
        op(opcode, index, 0, buffer);
        return buffer;
    }
};

}  // namespace

TEST_F(HostBoundary, AEffectRecordDescribesASynthWithTwoOutputs) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numParams, 1);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 0x1131);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->uniqueID, 0x2D535E35);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->resvd1, 0);
    EXPECT_EQ(effect->resvd2, 0);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
}

TEST_F(HostBoundary, NamesAndIdentity) {
    EXPECT_EQ(text(effGetEffectName), "Tessaravox");
    EXPECT_EQ(text(effGetVendorString), "Morrowfen Software");
    EXPECT_EQ(text(effGetProductString), "Tessaravox");
    char buffer[64];
    EXPECT_EQ(op(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_EQ(op(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(op(effGetProductString, 0, 0, buffer), 1);
    EXPECT_EQ(op(effGetVendorVersion), 1005);
    EXPECT_EQ(op(effGetVstVersion), 2400);
    EXPECT_EQ(op(effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(op(effIdentify), 0x4E764566);
}

TEST_F(HostBoundary, ProgramAndParameterTexts) {
    EXPECT_EQ(text(effGetProgramName), "Init");
    char indexed[64] = {};
    EXPECT_EQ(op(effGetProgramNameIndexed, 7, 3, indexed), 1);
    EXPECT_STREQ(indexed, "Init");
    EXPECT_EQ(text(effGetParamName, 0), "Volume");
    std::string untouched(255, 'x');
    EXPECT_EQ(text(effGetParamName, 5), untouched);
    EXPECT_EQ(text(effGetParamLabel, 0), "");
    EXPECT_EQ(op(effSetProgramName, 0, 0, const_cast<char*>("Other")), 0);
    EXPECT_EQ(text(effGetProgramName), "Init");
}

TEST_F(HostBoundary, PinsAndAutomation) {
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof(pin));
    EXPECT_EQ(op(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "1");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ(op(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "2");
    EXPECT_EQ(op(effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(op(effGetInputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(op(effCanBeAutomated, 0), 1);
    EXPECT_EQ(op(effCanBeAutomated, 1), 0);
}

TEST_F(HostBoundary, CanDoTable) {
    EXPECT_EQ(host.canDo("receiveVstEvents"), 1);
    EXPECT_EQ(host.canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(host.canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(host.canDo("sendVstEvents"), -1);
    EXPECT_EQ(host.canDo("sendVstMidiEvent"), -1);
    EXPECT_EQ(host.canDo("offline"), -1);
    EXPECT_EQ(host.canDo("midiProgramNames"), -1);
    EXPECT_EQ(host.canDo("bypass"), -1);
    EXPECT_EQ(host.canDo("sendVstTimeInfo"), 0);
    EXPECT_EQ(host.canDo("bypass "), 0);
    EXPECT_EQ(host.canDo(""), 0);
}

TEST_F(HostBoundary, FixedAnswersOfTheRemainingOpcodes) {
    EXPECT_EQ(op(effGetProgram), 0);
    EXPECT_EQ(op(effGetTailSize), 0);
    EXPECT_EQ(op(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(op(effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(op(effString2Parameter, 0, 0, const_cast<char*>("1")), 0);
    EXPECT_EQ(op(effSetBypass, 0, 1), 0);
    EXPECT_EQ(op(effVendorSpecific, 1, 2, nullptr, 3.0f), 0);
    EXPECT_EQ(op(effGetParameterProperties, 0, 0, nullptr), 0);
    EXPECT_EQ(op(effProcessVarIo), 0);
    EXPECT_EQ(op(effSetSpeakerArrangement), 0);
    for (AEffectOpcodes opcode : {effOfflineNotify, effOfflinePrepare, effOfflineRun}) EXPECT_EQ(op(opcode), 0);
    for (VstInt32 opcode = effGetMidiProgramName; opcode <= effGetNumMidiOutputChannels; ++opcode) {
        if (opcode == effGetCurrentMidiProgram || opcode == effGetSpeakerArrangement ||
            opcode == effSetTotalSampleToProcess)
            continue;
        char scratch[256] = {};
        EXPECT_EQ(op(opcode, 0, 0, scratch), 0) << opcode;
    }
    void* in = &in;
    void* out = &out;
    EXPECT_EQ(op(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
    // Deprecated and unknown opcodes answer 0.
    for (VstInt32 opcode : {effGetVu, effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep,
                            effGetNumProgramCategories, effCopyProgram, effConnectInput, effConnectOutput,
                            effGetCurrentPosition, effGetDestinationBuffer, effSetBlockSizeAndSampleRate,
                            effGetErrorText, effIdle, effGetIcon, effSetViewPosition, effKeysRequired,
                            static_cast<AEffectOpcodes>(80), static_cast<AEffectOpcodes>(500)})
        EXPECT_EQ(op(opcode), 0) << opcode;
}

// The editor reports its size before it opens; without a parent window it
// does not open, and closed it takes no keys.
TEST_F(HostBoundary, EditorOpcodesAnswerForAClosedEditor) {
    ERect* rect = nullptr;
    ASSERT_EQ(op(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 1056);
    EXPECT_EQ(rect->bottom - rect->top, 624);
    EXPECT_EQ(op(effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ(op(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(op(effEditIdle), 0);
    EXPECT_EQ(op(effEditClose), 0);
    EXPECT_EQ(op(effEditKeyDown, 'a', 0), 0);
    EXPECT_EQ(op(effEditKeyUp, 'a', 0), 0);
    EXPECT_EQ(op(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(op(effSetEditKnobMode, 0, 9), 0);
}

TEST_F(HostBoundary, ParametersStartAsTheInitSound) {
    float init[kNumParameters];
    fillInitSound(init);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(getParameter(i), init[i]) << parameterInfo(i).key;
    EXPECT_EQ(getParameter(kNumParameters), 0.0f);
    EXPECT_EQ(getParameter(-1), 0.0f);
    EXPECT_EQ(getParameter(100000), 0.0f);
}

TEST_F(HostBoundary, SetParameterStoresOnlyRealParameters) {
    setParameter(Volume, 0.25f);
    setParameter(Osc2Pos, 0.75f);
    EXPECT_EQ(getParameter(Volume), 0.25f);
    EXPECT_EQ(getParameter(Osc2Pos), 0.75f);
    float before[kNumParameters];
    for (int i = 0; i < kNumParameters; ++i) before[i] = getParameter(i);
    setParameter(262, 1.0f);
    setParameter(999, 1.0f);
    setParameter(-5, 1.0f);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(getParameter(i), before[i]) << i;
}

TEST_F(HostBoundary, EveryBlockAsksTwiceForTimeInfo) {
    host.state().timeInfoRequests.clear();
    float left[1], right[1];
    float* outputs[2] = {left, right};
    effect->processReplacing(effect, nullptr, outputs, 0);
    ASSERT_EQ(host.state().timeInfoRequests.size(), 2u);
    EXPECT_EQ(host.state().timeInfoRequests[0], kVstTimeSigValid);
    EXPECT_EQ(host.state().timeInfoRequests[1], kVstTempoValid);
    effect->processReplacing(effect, nullptr, outputs, 1);
    EXPECT_EQ(host.state().timeInfoRequests.size(), 4u);
}

TEST_F(HostBoundary, OutputIsExactlySilentWithoutNotes) {
    std::vector<float> left, right;
    host.state().provideTimeInfo = false;
    render(4096, left, right, 300);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(left[i], 0.0f) << i;
        ASSERT_EQ(right[i], 0.0f) << i;
    }
    double dl[64], dr[64];
    double* outputs[2] = {dl, dr};
    effect->processDoubleReplacing(effect, nullptr, outputs, 64);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(dl[i], 0.0);
}

TEST_F(HostBoundary, ProgramChangesAndMainsReset) {
    EXPECT_EQ(op(effSetProgram, 0, 1), 0);
    EXPECT_EQ(op(effGetProgram), 0);
    EXPECT_EQ(op(effSetProgram, 0, 0), 0);
    EXPECT_EQ(op(effMainsChanged, 0, 0), 0);
    EXPECT_EQ(op(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(op(effSetBlockSize, 0, 64), 0);
    EXPECT_EQ(op(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(op(effProcessEvents, 0, 0, nullptr), 0);
    VstEvents none{};
    EXPECT_EQ(op(effProcessEvents, 0, 0, &none), 1);
}

TEST(HostBoundaryLifecycle, CloseDeletesTheInstanceAndAnswersOne) {
    vsthost::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.load(TVX_PLUGIN_PATH, error)) << error;
    EXPECT_EQ(host.closeEffect(), 1);
    EXPECT_EQ(host.effect(), nullptr);
}

}  // namespace tvx
