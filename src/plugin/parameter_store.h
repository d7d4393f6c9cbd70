#pragma once

#include <atomic>
#include <cstdint>

#include "params/parameter_id.h"

namespace tvx {

static_assert(std::atomic<float>::is_always_lock_free, "parameter values must be lock-free atomics");
static_assert(std::atomic<unsigned>::is_always_lock_free, "the change counters must be lock-free atomics");

// The parameter values as every thread sees them. The host's user-interface
// thread, the editor and MIDI learn on the processing thread all write here;
// the engine renders from its own copy, taken at the start of each block.
// Values are relaxed atomics: a single value needs no more. A change of many
// values at once (a chunk, a preset, a pasted module) is published as one
// change, so a block never renders half of it.
class ParameterStore {
public:
    ParameterStore();

    float get(int index) const;
    void set(int index, float value);

    void copyTo(float* values) const;
    // Stores a whole set of values as one change.
    void publish(const float* values);
    // Stores, as one change, the values that `after` changed against
    // `before` (a copy taken earlier): values written meanwhile by another
    // thread, such as a controller moved by MIDI learn, keep their value.
    void publishChanges(const float* before, const float* after);
    // Copies all values unless a publish is under way or happened meanwhile;
    // then `values` keeps its previous contents and the answer is false.
    // Never waits.
    bool snapshot(float* values) const;

    // Changes made on the processing thread (MIDI learn) for the editor's idle
    // step to show: set there, taken (and cleared) by the reader.
    void markChanged(int index);
    bool takeChanged(int index);

private:
    void beginPublish();
    void endPublish();

    static constexpr int kFlagWords = (kNumParameters + 31) / 32;

    std::atomic<float> values_[kNumParameters];
    std::atomic<unsigned> publishing_{0};
    std::atomic<unsigned> generation_{0};
    std::atomic<std::uint32_t> changed_[kFlagWords];
};

}  // namespace tvx
