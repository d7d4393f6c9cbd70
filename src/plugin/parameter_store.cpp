#include "plugin/parameter_store.h"

namespace tvx {

namespace {

bool inRange(int index) { return index >= 0 && index < kNumParameters; }

}  // namespace

ParameterStore::ParameterStore() {
    for (auto& value : values_) value.store(0.0f, std::memory_order_relaxed);
    for (auto& word : changed_) word.store(0, std::memory_order_relaxed);
}

float ParameterStore::get(int index) const {
    return inRange(index) ? values_[index].load(std::memory_order_relaxed) : 0.0f;
}

void ParameterStore::set(int index, float value) {
    if (inRange(index)) values_[index].store(value, std::memory_order_relaxed);
}

void ParameterStore::copyTo(float* values) const {
    for (int i = 0; i < kNumParameters; ++i) values[i] = values_[i].load(std::memory_order_relaxed);
}

// A sequence lock with a writer count, so that two threads publishing at once
// cannot make a half-written state look finished.
void ParameterStore::beginPublish() {
    publishing_.fetch_add(1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void ParameterStore::endPublish() {
    generation_.fetch_add(1, std::memory_order_release);
    publishing_.fetch_sub(1, std::memory_order_release);
}

void ParameterStore::publish(const float* values) {
    beginPublish();
    for (int i = 0; i < kNumParameters; ++i) values_[i].store(values[i], std::memory_order_relaxed);
    endPublish();
}

void ParameterStore::publishChanges(const float* before, const float* after) {
    beginPublish();
    for (int i = 0; i < kNumParameters; ++i) {
        const bool same = before[i] == after[i] || (before[i] != before[i] && after[i] != after[i]);
        if (!same) values_[i].store(after[i], std::memory_order_relaxed);
    }
    endPublish();
}

bool ParameterStore::snapshot(float* values) const {
    const unsigned before = generation_.load(std::memory_order_acquire);
    if (publishing_.load(std::memory_order_acquire) != 0) return false;
    float copy[kNumParameters];
    for (int i = 0; i < kNumParameters; ++i) copy[i] = values_[i].load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (publishing_.load(std::memory_order_acquire) != 0) return false;
    if (generation_.load(std::memory_order_relaxed) != before) return false;
    for (int i = 0; i < kNumParameters; ++i) values[i] = copy[i];
    return true;
}

void ParameterStore::markChanged(int index) {
    if (inRange(index)) changed_[index / 32].fetch_or(1u << (index % 32), std::memory_order_relaxed);
}

bool ParameterStore::takeChanged(int index) {
    if (!inRange(index)) return false;
    const std::uint32_t bit = 1u << (index % 32);
    return (changed_[index / 32].fetch_and(~bit, std::memory_order_relaxed) & bit) != 0;
}

}  // namespace tvx
