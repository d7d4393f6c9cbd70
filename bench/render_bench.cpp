// Cost of rendering whole sounds through the plug-in, from a plain init
// sound to the worst case of 32 unison voices with every modulation in use,
// and the memory one instance holds.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "plugin/plugin.h"

namespace tvx {

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kBlock = 256;

// Every instance reads and writes its home folder; a throw-away data folder
// keeps the benchmark away from the user's own settings.
class TemporaryDataHome {
public:
    TemporaryDataHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaravox-bench-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data())) {
            path_ = name.data();
            setenv("XDG_DATA_HOME", path_.c_str(), 1);
        }
    }
    ~TemporaryDataHome() {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }

private:
    std::string path_;
};

void ensureTemporaryDataHome() { static TemporaryDataHome home; }

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::unique_ptr<Plugin> makePlugin() {
    ensureTemporaryDataHome();
    auto plugin = std::make_unique<Plugin>(&hostCallback);
    plugin->setSampleRate(kSampleRate);
    return plugin;
}

class Renderer {
public:
    explicit Renderer(Plugin& plugin) : plugin_(plugin), left_(kBlock), right_(kBlock) {}

    void block() {
        float* outputs[2] = {left_.data(), right_.data()};
        plugin_.processReplacing(nullptr, outputs, kBlock);
        benchmark::DoNotOptimize(left_.data());
        benchmark::DoNotOptimize(right_.data());
    }

    // Notes spread over four octaves from C2, all in the first block.
    void holdNotes(int count) {
        std::vector<VstMidiEvent> midi(count);
        std::vector<VstEvent*> pointers(count);
        for (int i = 0; i < count; ++i) {
            VstMidiEvent& e = midi[i];
            e = VstMidiEvent{};
            e.type = kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = i % kBlock;
            e.midiData[0] = static_cast<char>(0x90);
            e.midiData[1] = static_cast<char>(36 + (i * 7) % 48);
            e.midiData[2] = static_cast<char>(100);
            pointers[i] = reinterpret_cast<VstEvent*>(&e);
        }
        // VstEvents declares a two-entry array; the host appends the rest.
        std::vector<char> storage(sizeof(VstEvents) + sizeof(VstEvent*) * count);
        auto* events = reinterpret_cast<VstEvents*>(storage.data());
        events->numEvents = count;
        for (int i = 0; i < count; ++i) events->events[i] = pointers[i];
        plugin_.processEvents(events);
        block();
    }

    float peak() const {
        float p = 0.0f;
        for (int i = 0; i < kBlock; ++i) p = std::max(p, std::max(std::fabs(left_[i]), std::fabs(right_[i])));
        return p;
    }

private:
    Plugin& plugin_;
    std::vector<float> left_, right_;
};

void set(Plugin& p, int id, float value) { p.setParameter(id, value); }

// Long sustain everywhere so held notes never end during a run.
void holdEnvelopes(Plugin& p) {
    for (int i = 0; i < 3; ++i) {
        set(p, Env1Sus + i, 1.0f);
        set(p, Env1Rel + i, 0.5f);
    }
}

void threeUnisonWaves(Plugin& p) {
    for (int i = 0; i < 3; ++i) {
        set(p, Osc1Type + i, 1.0f);  // "Wave"
        set(p, Osc1UniCount + i, 1.0f);
        set(p, Osc1UniMix + i, 0.6f);
        set(p, Osc1UniDet + i, 0.3f);
        set(p, Osc1UniSprd + i, 0.7f);
        set(p, Osc1Pos + i, 0.2f + 0.25f * static_cast<float>(i));
        set(p, Osc1Vol + i, 0.4f);
    }
}

void serialLowpassBandpass(Plugin& p) {
    set(p, Flt1Type, 1.0f);  // "Lowpass 24"
    set(p, Flt2Type, 4.0f);  // "Bandpass"
    set(p, FltMode, 0.0f);   // "Serial"
    set(p, Flt1Cut, 0.6f);
    set(p, Flt1Res, 0.3f);
    set(p, Flt2Cut, 0.55f);
    set(p, Flt2Res, 0.2f);
}

void modulatingLfos(Plugin& p) {
    for (int i = 0; i < 3; ++i) {
        set(p, Lfo1Global + i, 0.0f);
        set(p, Lfo1Type + i, static_cast<float>(i));  // triangle, sine, square
        set(p, Lfo1Rate + i, 0.3f + 0.1f * static_cast<float>(i));
        set(p, Lfo1Mod1 + i, 0.7f);   // position
        set(p, Lfo1Mod2 + i, 0.52f);  // tune
        set(p, Lfo1Mod3 + i, 0.6f);   // cutoff
    }
}

void setSlot(Plugin& p, int slot, int source, int target, float amount) {
    set(p, Mod1Source + slot, static_cast<float>(source));
    set(p, Mod1Target + slot, static_cast<float>(target));
    set(p, Mod1Amount + slot, amount);
}

void allModulationSlots(Plugin& p) {
    // Three slots on envelope times and LFO rates: the per-sample path.
    setSlot(p, 0, SrcLfo1, TgtEnv1Att, 0.55f);
    setSlot(p, 1, SrcLfo2, TgtEnv2Dec, 0.6f);
    setSlot(p, 2, SrcEnv2, TgtLfo1Rate, 0.6f);
    setSlot(p, 3, SrcLfo3, TgtFlt1Cut, 0.6f);
    setSlot(p, 4, SrcEnv3, TgtFlt2Res, 0.6f);
    setSlot(p, 5, SrcModWheel, TgtOsc1Pos, 0.7f);
    setSlot(p, 6, SrcNoteOnVel, TgtOsc2Vol, 0.4f);
    setSlot(p, 7, SrcBipolarRnd, TgtOsc3Fine, 0.6f);
    setSlot(p, 8, SrcLfo1, TgtOscPan, 0.6f);
    setSlot(p, 9, SrcConstant, TgtMod1Amt, 0.8f);
    setSlot(p, 10, SrcEnv1, TgtOsc1Tune, 0.51f);
    setSlot(p, 11, SrcAlternate, TgtNoiseVol, 0.6f);
}

void threeFmOscillators(Plugin& p) {
    for (int i = 0; i < 3; ++i) {
        set(p, Osc1Type + i, 3.0f);  // "FM"
        set(p, Osc1Mod1Amt + i, 0.5f);
        set(p, Osc1Mod2Amt + i, 0.3f);
        set(p, Osc1Mod1Ratio + i, 0.1f * static_cast<float>(i + 1));
        set(p, Osc1Mod2Ratio + i, 0.15f);
        set(p, Osc1Vol + i, 0.4f);
    }
}

void padSound(Plugin& p) {
    threeUnisonWaves(p);
    serialLowpassBandpass(p);
}

void worstCase(Plugin& p) {
    padSound(p);
    modulatingLfos(p);
}

void worstCaseAllSlots(Plugin& p) {
    worstCase(p);
    allModulationSlots(p);
}

// Seconds of audio per second of CPU, and the CPU cost of one output sample.
void reportRealTimeFactor(benchmark::State& state, long long samples, int voices) {
    const double audioSeconds = static_cast<double>(samples) / static_cast<double>(kSampleRate);
    state.counters["realtime_x"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    state.counters["ns_per_sample"] = benchmark::Counter(
        static_cast<double>(samples) * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["voices"] = voices;
}

template <void (*Configure)(Plugin&)>
void BM_Render(benchmark::State& state) {
    const int notes = static_cast<int>(state.range(0));
    auto plugin = makePlugin();
    holdEnvelopes(*plugin);
    Configure(*plugin);
    Renderer renderer(*plugin);
    renderer.holdNotes(notes);
    // Past the attacks, into the sustained part of the notes.
    for (int b = 0; b < 200; ++b) renderer.block();
    int voices = 0;
    for (int v = 0; v < VoiceManager::kNumVoices; ++v) voices += plugin->voiceManager().isVoiceSounding(v);
    if (voices != notes) state.SkipWithError("not every note is sounding");
    if (!(renderer.peak() > 0.0f)) state.SkipWithError("the sound is silent");

    long long samples = 0;
    for (auto _ : state) {
        renderer.block();
        samples += kBlock;
    }
    reportRealTimeFactor(state, samples, voices);
}

void initSound(Plugin&) {}

BENCHMARK_TEMPLATE(BM_Render, initSound)->Name("Render/a_InitSound")->Arg(8);
BENCHMARK_TEMPLATE(BM_Render, padSound)->Name("Render/b_UnisonPad")->Arg(16);
BENCHMARK_TEMPLATE(BM_Render, worstCase)->Name("Render/c_WorstCase")->Arg(32);
BENCHMARK_TEMPLATE(BM_Render, threeFmOscillators)->Name("Render/d_ThreeFm")->Arg(16);
BENCHMARK_TEMPLATE(BM_Render, worstCaseAllSlots)->Name("Render/e_WorstCaseAllSlots")->Arg(32);

long long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Heap held by one instance (the Plugin object itself lives on the heap too)
// after it has been set to the given rate.
void BM_PluginMemory(benchmark::State& state) {
    const float rate = static_cast<float>(state.range(0));
    ensureTemporaryDataHome();
    long long bytes = 0;
    for (auto _ : state) {
        const long long before = heapInUse();
        auto plugin = std::make_unique<Plugin>(&hostCallback);
        plugin->setSampleRate(rate);
        bytes = heapInUse() - before;
        benchmark::DoNotOptimize(plugin.get());
    }
    state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["object_KiB"] = static_cast<double>(sizeof(Plugin)) / 1024.0;
}
BENCHMARK(BM_PluginMemory)->Arg(44100)->Arg(96000)->Arg(768000)->Iterations(2)->Unit(benchmark::kMillisecond);

// A chunk loaded while 16 notes of the pad and its effects sound: the time
// on the calling thread (parsing and publishing; the engine's reset and the
// fade of the old sound wait for the next block), and that next block, which
// renders the old sound's fade besides the new sound.
void BM_ChunkLoadWhilePlaying(benchmark::State& state) {
    const bool measureBlock = state.range(0) != 0;
    auto plugin = makePlugin();
    holdEnvelopes(*plugin);
    padSound(*plugin);
    void* data = nullptr;
    const VstInt32 size = plugin->getChunk(&data, false);
    const std::vector<char> chunk(static_cast<char*>(data), static_cast<char*>(data) + size);
    Renderer renderer(*plugin);
    for (auto _ : state) {
        state.PauseTiming();
        renderer.holdNotes(16);
        for (int b = 0; b < 20; ++b) renderer.block();
        if (measureBlock) plugin->setChunk(const_cast<char*>(chunk.data()), size, false);
        state.ResumeTiming();
        if (measureBlock)
            renderer.block();
        else
            plugin->setChunk(const_cast<char*>(chunk.data()), size, false);
        state.PauseTiming();
        if (!measureBlock) renderer.block();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChunkLoadWhilePlaying)->Name("ChunkLoad/a_CallingThread")->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChunkLoadWhilePlaying)->Name("ChunkLoad/b_NextBlock")->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace tvx
