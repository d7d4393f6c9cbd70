// Cost of the MIDI side of a block: a normal block with a few events against
// the block in which the sustain pedal goes up after 10 000 notes were played
// under it. The pedal-up block should cost a small multiple of a normal one.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/voice_manager.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"

namespace tvx {

namespace {

constexpr int kBlock = 256;

struct Engine {
    float params[kNumParameters];
    MidiSettings midi;
    std::unique_ptr<VoiceManager> voices;

    Engine() {
        fillInitSound(params);
        params[Polyphony] = 1.0f;
        voices = std::make_unique<VoiceManager>(params, &midi, nullptr);
        voices->setSampleRate(44100.0f);
        voices->setTempo(120.0f, 4);
        voices->reset();
    }

    void block() {
        for (int s = 0; s < kBlock; ++s) {
            float l = 0.0f, r = 0.0f;
            voices->renderSample(l, r, kBlock, s);
            benchmark::DoNotOptimize(l);
        }
        voices->clearEvents();
    }

    void playUnderPedal(int notes) {
        voices->addMidiMessage(0, 0xB0, 64, 127);
        block();
        for (int n = 0; n < notes; n += 100) {
            for (int i = 0; i < 100; ++i) {
                const int note = n + i;
                voices->addMidiMessage(i, 0x90 | (note % 16), (note / 16) % 128, 100);
                voices->addMidiMessage(i + 100, 0x80 | (note % 16), (note / 16) % 128, 0);
            }
            block();
        }
    }
};

void BM_BlockWithFewEvents(benchmark::State& state) {
    Engine engine;
    engine.playUnderPedal(10000);
    for (auto _ : state) {
        engine.voices->addMidiMessage(10, 0xB0, 1, 64);
        engine.voices->addMidiMessage(20, 0xE0, 0, 64);
        engine.block();
    }
}
BENCHMARK(BM_BlockWithFewEvents)->Unit(benchmark::kMicrosecond);

void BM_PedalUpAfterTenThousandNotes(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Engine engine;
        engine.playUnderPedal(10000);
        engine.voices->addMidiMessage(0, 0xB0, 64, 0);
        state.ResumeTiming();
        engine.block();
    }
}
BENCHMARK(BM_PedalUpAfterTenThousandNotes)->Unit(benchmark::kMicrosecond)->Iterations(10);

}  // namespace

}  // namespace tvx
