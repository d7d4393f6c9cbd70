#pragma once

#include <atomic>

namespace tvx {

// State changes asked for on the host's user-interface thread and carried out
// by the processing thread at the start of its next block, so the engine's
// voices, sequencer and effects are only ever touched by the thread that
// renders them. Posting and taking never wait.
class EngineRequests {
public:
    // What a reset does to the sound that plays when it is carried out.
    enum ResetKind : unsigned {
        kHardReset = 1u,         // cut: the host stopped processing, nothing plays on
        kFadedReset = 2u,        // a program or chunk: the old sound fades out
        kResetIfSounding = 4u,   // a preset from the editor: fades out what sounds
    };

    void requestReset(ResetKind kind) { resets_.fetch_or(kind, std::memory_order_release); }
    // The kinds asked for since the last call, or 0.
    unsigned takeResets() {
        if (resets_.load(std::memory_order_relaxed) == 0) return 0;
        return resets_.exchange(0, std::memory_order_acquire);
    }

    void requestSequencerMode(float mode) {
        sequencerMode_.store(mode, std::memory_order_relaxed);
        sequencerModePending_.store(true, std::memory_order_release);
    }
    bool takeSequencerMode(float& mode) {
        if (!sequencerModePending_.load(std::memory_order_relaxed)) return false;
        if (!sequencerModePending_.exchange(false, std::memory_order_acquire)) return false;
        mode = sequencerMode_.load(std::memory_order_relaxed);
        return true;
    }

private:
    std::atomic<unsigned> resets_{0};
    std::atomic<float> sequencerMode_{0.0f};
    std::atomic<bool> sequencerModePending_{false};
};

}  // namespace tvx
