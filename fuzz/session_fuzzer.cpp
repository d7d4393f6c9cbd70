// A whole instance driven the way a careless or hostile host might: any
// order of dispatcher calls, sample rates, block sizes, programs and chunks,
// every parameter and command index with any float, any MIDI bytes and
// positions, odd host time information. After every block the output must
// be finite and within the output limit.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include "fuzz_support.h"
#include "plugin/plugin.h"

namespace tvx {

namespace {

// Keeps one input quick enough for many runs a second.
constexpr int kMaxOperations = 96;
constexpr long kMaxFramesPerInput = 131072;

const float kRates[] = {8000.0f, 11025.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f};

float anyFloat(FuzzedDataProvider& in) {
    static const float kSpecial[] = {
        0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 2.0f, 1e30f, -1e30f,
        std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
        std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
        std::numeric_limits<float>::denorm_min(), 1e-30f, 0.999999f, 1.000001f,
        17.0f, 100.0f, 1000.0f, 65536.0f, -5.0f, 3.4e38f,
    };
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: return in.PickValueInArray(kSpecial);
        case 1: return in.ConsumeFloatingPointInRange<float>(-2.0f, 40.0f);
        case 2: return static_cast<float>(in.ConsumeIntegralInRange<int>(-3, 140));
        default: {
            uint32_t bits = in.ConsumeIntegral<uint32_t>();
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
    }
}

class Session {
public:
    explicit Session(FuzzedDataProvider& in) : in_(in) {
        auto* plugin = new Plugin(&fuzz::hostCallback);
        // Same input, same run: the noise and random shapes start from one seed.
        plugin->voiceManager().seedRandom(1);
        effect_ = plugin->getAeffect();
        if (in_.ConsumeBool()) dispatch(effOpen);
    }

    ~Session() {
        if (effect_) dispatch(effClose);
    }

    void run() {
        for (int op = 0; op < kMaxOperations && in_.remaining_bytes() > 0 && effect_; ++op) step();
    }

private:
    FuzzedDataProvider& in_;
    AEffect* effect_ = nullptr;
    long framesLeft_ = kMaxFramesPerInput;
    std::vector<unsigned char> chunkCopy_;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    void step() {
        switch (in_.ConsumeIntegralInRange<int>(0, 15)) {
            case 0: setSampleRate(); break;
            case 1: dispatch(effSetBlockSize, 0, in_.ConsumeIntegralInRange<VstIntPtr>(-16, 65536)); break;
            case 2: dispatch(effMainsChanged, 0, in_.ConsumeBool() ? 1 : 0); break;
            case 3: dispatch(effSetProgram, 0, in_.ConsumeIntegralInRange<VstIntPtr>(-3, 3)); break;
            case 4: setChunk(); break;
            case 5: getChunkTwice(); break;
            case 6: case 7: setParameter(); break;
            case 8: case 9: sendEvents(); break;
            case 10: case 11: case 12: render(); break;
            case 13: askTexts(); break;
            case 14: otherOpcode(); break;
            case 15: changeHostTime(); break;
        }
    }

    void setSampleRate() {
        float rate = in_.ConsumeBool() ? in_.PickValueInArray(kRates) : anyFloat(in_);
        if (in_.ConsumeBool()) dispatch(effMainsChanged, 0, 0);
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    }

    void setChunk() {
        std::vector<unsigned char> bytes;
        switch (in_.ConsumeIntegralInRange<int>(0, 2)) {
            case 0: bytes = in_.ConsumeBytes<unsigned char>(in_.ConsumeIntegralInRange<size_t>(0, 4096)); break;
            case 1:  // text, one code unit per byte
                for (unsigned char c : in_.ConsumeBytes<unsigned char>(in_.ConsumeIntegralInRange<size_t>(0, 2048))) {
                    bytes.push_back(c);
                    bytes.push_back(0);
                }
                break;
            default: bytes = chunkCopy_; break;  // a chunk this instance saved earlier
        }
        dispatch(effSetChunk, in_.ConsumeBool() ? 1 : 0, static_cast<VstIntPtr>(bytes.size()),
                 bytes.empty() ? nullptr : bytes.data());
    }

    // The buffer of one call must stay readable until the next call.
    void getChunkTwice() {
        void* first = nullptr;
        VstIntPtr size = dispatch(effGetChunk, 0, 0, &first);
        if (size < 0 || (size > 0 && !first)) fuzz::fail("effGetChunk returned an invalid buffer");
        const auto* bytes = static_cast<const unsigned char*>(first);
        chunkCopy_.assign(bytes, bytes + size);
        if (in_.ConsumeBool()) {
            void* second = nullptr;
            VstIntPtr again = dispatch(effGetChunk, 1, 0, &second);
            if (again != size) fuzz::fail("two chunks of an unchanged instance differ in size");
            if (size > 0 && std::memcmp(second, chunkCopy_.data(), static_cast<size_t>(size)) != 0)
                fuzz::fail("two chunks of an unchanged instance differ");
        }
    }

    void setParameter() {
        VstInt32 index;
        switch (in_.ConsumeIntegralInRange<int>(0, 3)) {
            case 0: index = in_.ConsumeIntegralInRange<VstInt32>(-5, 1100); break;
            case 1: index = in_.ConsumeIntegralInRange<VstInt32>(1000, 1060); break;  // commands
            default: index = in_.ConsumeIntegralInRange<VstInt32>(0, kNumParameters - 1); break;
        }
        float value = anyFloat(in_);
        effect_->setParameter(effect_, index, value);
        (void)effect_->getParameter(effect_, index);
    }

    void sendEvents() {
        const int count = in_.ConsumeIntegralInRange<int>(0, 24);
        std::vector<VstMidiEvent> midi(static_cast<size_t>(count));
        std::vector<VstMidiSysexEvent> sysex(static_cast<size_t>(count));
        std::vector<char> dump(64, static_cast<char>(0xF7));
        // VstEvents declares two slots; hosts allocate as many as they send.
        std::vector<unsigned char> storage(sizeof(VstEvents) + sizeof(VstEvent*) * static_cast<size_t>(count));
        auto* events = reinterpret_cast<VstEvents*>(storage.data());
        events->numEvents = count;
        VstEvent** slots = events->events;
        for (int i = 0; i < count; ++i) {
            VstInt32 delta;
            switch (in_.ConsumeIntegralInRange<int>(0, 3)) {
                case 0: delta = in_.ConsumeIntegralInRange<VstInt32>(0, 64); break;
                case 1: delta = in_.ConsumeIntegralInRange<VstInt32>(0, 65536); break;
                default: delta = in_.ConsumeIntegral<VstInt32>(); break;
            }
            const int kind = in_.ConsumeIntegralInRange<int>(0, 9);
            if (kind == 0) {
                VstMidiSysexEvent& e = sysex[static_cast<size_t>(i)];
                e.type = kVstSysExType;
                e.byteSize = sizeof(e);
                e.deltaFrames = delta;
                e.dumpBytes = static_cast<VstInt32>(dump.size());
                e.sysexDump = dump.data();
                slots[i] = reinterpret_cast<VstEvent*>(&e);
            } else {
                VstMidiEvent& e = midi[static_cast<size_t>(i)];
                e.type = kind == 1 ? in_.ConsumeIntegral<VstInt32>() : kVstMidiType;
                e.byteSize = sizeof(e);
                e.deltaFrames = delta;
                e.midiData[0] = static_cast<char>(in_.ConsumeBool() ? 0x80 | in_.ConsumeIntegralInRange<int>(0, 0x7F)
                                                                    : in_.ConsumeIntegral<uint8_t>());
                e.midiData[1] = static_cast<char>(in_.ConsumeIntegral<uint8_t>());
                e.midiData[2] = static_cast<char>(in_.ConsumeIntegral<uint8_t>());
                e.midiData[3] = static_cast<char>(in_.ConsumeIntegral<uint8_t>());
                slots[i] = reinterpret_cast<VstEvent*>(&e);
            }
        }
        dispatch(effProcessEvents, 0, 0, events);
    }

    void render() {
        int frames;
        switch (in_.ConsumeIntegralInRange<int>(0, 3)) {
            case 0: frames = in_.ConsumeIntegralInRange<int>(0, 64); break;
            case 1: frames = in_.ConsumeIntegralInRange<int>(0, 65536); break;
            default: frames = in_.ConsumeIntegralInRange<int>(0, 2048); break;
        }
        if (frames > framesLeft_) frames = static_cast<int>(framesLeft_);
        framesLeft_ -= frames;
        if (in_.ConsumeIntegralInRange<int>(0, 7) == 0) {
            std::vector<double> left(static_cast<size_t>(frames) + 1), right(static_cast<size_t>(frames) + 1);
            double* outputs[2] = {left.data(), right.data()};
            effect_->processDoubleReplacing(effect_, nullptr, outputs, frames);
            fuzz::checkOutput(left.data(), frames, "double block, left");
            fuzz::checkOutput(right.data(), frames, "double block, right");
        } else {
            std::vector<float> left(static_cast<size_t>(frames) + 1), right(static_cast<size_t>(frames) + 1);
            float* outputs[2] = {left.data(), right.data()};
            effect_->processReplacing(effect_, nullptr, outputs, frames);
            fuzz::checkOutput(left.data(), frames, "block, left");
            fuzz::checkOutput(right.data(), frames, "block, right");
        }
    }

    // Buffers of exactly the sizes the interface promises.
    void askTexts() {
        const VstInt32 index = in_.ConsumeIntegralInRange<VstInt32>(-5, 1100);
        char param[kVstMaxParamStrLen + 1];
        dispatch(effGetParamDisplay, index, 0, param);
        dispatch(effGetParamName, index, 0, param);
        dispatch(effGetParamLabel, index, 0, param);
        char program[kVstMaxProgNameLen + 1];
        dispatch(effGetProgramName, 0, 0, program);
        dispatch(effGetProgramNameIndexed, index, 0, program);
        char effectName[kVstMaxEffectNameLen + 1];
        dispatch(effGetEffectName, 0, 0, effectName);
        char vendor[kVstMaxVendorStrLen + 1];
        dispatch(effGetVendorString, 0, 0, vendor);
        dispatch(effGetProductString, 0, 0, vendor);
        VstPinProperties pin{};
        dispatch(effGetOutputProperties, index, 0, &pin);
        dispatch(effGetInputProperties, index, 0, &pin);
        std::string question = in_.ConsumeRandomLengthString(40);
        dispatch(effCanDo, 0, 0, question.data());
    }

    // Any other opcode with a zeroed buffer big enough for every structure,
    // the editor opcodes included (there is no editor). effClose, effSetChunk,
    // effProcessEvents and effGetSpeakerArrangement take sizes or pointers
    // from their arguments and are driven above or at the end.
    void otherOpcode() {
        const VstInt32 opcode = in_.ConsumeIntegralInRange<VstInt32>(0, 80);
        if (opcode == effClose || opcode == effSetChunk || opcode == effProcessEvents ||
            opcode == effGetSpeakerArrangement)
            return;
        std::vector<unsigned char> buffer(8192, 0);
        const VstInt32 index = in_.ConsumeIntegral<VstInt32>();
        const VstIntPtr value = in_.ConsumeIntegral<VstInt32>();
        void* ptr = in_.ConsumeBool() ? buffer.data() : nullptr;
        dispatch(opcode, index, value, ptr, anyFloat(in_));
    }

    void changeHostTime() {
        fuzz::HostState& host = fuzz::hostState();
        host.giveTime = in_.ConsumeIntegralInRange<int>(0, 5) != 0;
        host.time.tempo = in_.ConsumeBool() ? in_.ConsumeFloatingPointInRange<double>(1.0, 999.0)
                                            : in_.ConsumeFloatingPoint<double>();
        host.time.timeSigDenominator = in_.ConsumeBool() ? in_.PickValueInArray({1, 2, 4, 8, 16, 32})
                                                         : in_.ConsumeIntegral<VstInt32>();
        host.time.timeSigNumerator = in_.ConsumeIntegral<VstInt32>();
        host.time.ppqPos = in_.ConsumeFloatingPoint<double>();
        host.time.samplePos = in_.ConsumeFloatingPoint<double>();
        host.time.flags = in_.ConsumeIntegral<VstInt32>();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietPlatform();
    fuzz::resetHostState();
    // No settings survive from the previous instance.
    std::error_code ignored;
    std::filesystem::remove(fuzz::homeFolder() / "Settings.txt", ignored);
    FuzzedDataProvider in(data, size);
    Session session(in);
    session.run();
    return 0;
}

}  // namespace tvx
