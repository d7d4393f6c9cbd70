// A host that loads presets, runs menu commands and switches processing on
// and off on its user-interface thread while its processing thread renders:
// the plug-in must neither crash nor race, and its output stays clean.

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "host/midi_block.h"
#include "host/plugin_test_support.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

constexpr float kOutputLimit = 1.41254f;

class ConcurrentHost : public LoadedPlugin {
protected:
    std::vector<unsigned char> chunk() {
        void* data = nullptr;
        const VstIntPtr size = host.dispatch(effGetChunk, 0, 0, &data);
        const auto* bytes = static_cast<const unsigned char*>(data);
        return std::vector<unsigned char>(bytes, bytes + size);
    }

    // What a user-interface thread does to the plug-in, one action per round.
    void userInterfaceRound(int round, std::vector<unsigned char>& plain, std::vector<unsigned char>& arpeggio) {
        AEffect* e = effect;
        switch (round % 12) {
            case 0: e->dispatcher(e, effSetChunk, 0, VstIntPtr(plain.size()), plain.data(), 0.0f); break;
            case 1: e->dispatcher(e, effSetChunk, 0, VstIntPtr(arpeggio.size()), arpeggio.data(), 0.0f); break;
            case 2: e->dispatcher(e, effSetProgram, 0, 0, nullptr, 0.0f); break;
            case 3:
                e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
                e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
                break;
            case 4: e->setParameter(e, 1035, float(round % 3)); break;             // sequencer mode
            case 5: e->setParameter(e, 1036 + round % 3, float(1 + round % 8)); break;  // oscillator menus
            case 6: e->setParameter(e, 1041 + round % 3, float(5 + round % 3)); break;  // envelope to matrix
            case 7: e->setParameter(e, 1048, 3.0f); break;                        // init sequence
            case 8: e->setParameter(e, 1049, 3.0f); break;                        // init sound
            case 9: e->setParameter(e, 1010 + round % 12, float(round % 20)); break;  // matrix sources
            case 10: e->setParameter(e, UseSequencer, float(round % 2)); break;
            default: {
                void* data = nullptr;
                e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
                e->getParameter(e, Volume);
                break;
            }
        }
    }
};

}  // namespace

TEST_F(ConcurrentHost, StateChangesFromAnotherThreadWhileRenderingStaySafe) {
    std::vector<unsigned char> plain = chunk();
    setParameter(UseSequencer, 1.0f);
    setParameter(SeqStepSize, 0.0f);
    setParameter(NoiseVol, 0.5f);
    setParameter(ReverbMix, 0.5f);
    setParameter(DelayMix, 0.5f);
    std::vector<unsigned char> arpeggio = chunk();

    std::atomic<bool> done{false};
    std::atomic<int> rounds{0};
    std::thread userInterface([&] {
        for (int round = 0; !done.load(); ++round) {
            userInterfaceRound(round, plain, arpeggio);
            rounds.store(round + 1);
        }
    });

    long badSamples = 0, blocks = 0;
    std::vector<float> left(256), right(256);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int note = 0; std::chrono::steady_clock::now() < end; ++note) {
        MidiBlock midi;
        midi.add(0, 0x90, 48 + note % 24, 100).add(17, 0x80, 48 + (note + 12) % 24, 64);
        midi.add(30, 0xB0, 64, note % 4 == 0 ? 0 : 127).add(40, 0xB0, 20, note % 128);
        midi.sendTo(host);
        float* outputs[2] = {left.data(), right.data()};
        effect->processReplacing(effect, nullptr, outputs, 256);
        ++blocks;
        for (int i = 0; i < 256; ++i)
            for (float v : {left[i], right[i]})
                if (!std::isfinite(v) || std::fabs(v) > kOutputLimit) ++badSamples;
    }
    done.store(true);
    userInterface.join();

    EXPECT_EQ(badSamples, 0);
    EXPECT_GT(blocks, 20);
    EXPECT_GT(rounds.load(), 20);
}

}  // namespace tvx
