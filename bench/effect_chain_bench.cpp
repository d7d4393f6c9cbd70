// Cost of the global effect chain with every stage on, and the memory it holds.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "effects/effect_chain.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"

namespace {

std::atomic<long long> liveBytes{0};

}  // namespace

// Counts the heap bytes alive, so the chain's memory can be measured.
void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
// GCC takes the free() of memory from the operator new above for a
// mismatch once both are inlined; they are a pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace tvx {

namespace {

constexpr int kBlock = 256;

std::vector<float> allStagesOn() {
    std::vector<float> p(kNumParameters);
    fillDefaultValues(p.data());
    p[DriveAmount] = 0.4f;
    p[DriveGain] = 0.6f;
    p[EQ1Gain] = 0.7f;
    p[EQ2Gain] = 0.3f;
    p[EQ1UseShelf] = 0.0f;
    p[ChorusMix] = 0.5f;
    p[DelayMix] = 0.5f;
    p[ReverbMix] = 0.5f;
    return p;
}

void renderBlock(EffectChain& chain, const float* params, float* in, int n) {
    chain.beginBlock(params, 120.0f, 4, n);
    for (int s = 0; s < n; ++s) {
        float l = in[s], r = -in[s];
        chain.process(params, l, r);
        benchmark::DoNotOptimize(l);
        benchmark::DoNotOptimize(r);
    }
}

// Inverted rates print with an "s" suffix: ns_per_sample is in nanoseconds,
// core_pct_44k1 the percentage of one core that real time at 44.1 kHz takes.
void reportCost(benchmark::State& state, long long samples) {
    const auto inverse = benchmark::Counter::kIsRate | benchmark::Counter::kInvert;
    state.SetItemsProcessed(samples);
    state.counters["ns_per_sample"] = benchmark::Counter(static_cast<double>(samples) * 1e-9, inverse);
    state.counters["core_pct_44k1"] = benchmark::Counter(static_cast<double>(samples) / 4410000.0, inverse);
}

void BM_EffectChainSignal(benchmark::State& state) {
    std::vector<float> params = allStagesOn();
    auto chain = std::make_unique<EffectChain>();
    std::vector<float> in(kBlock);
    for (int i = 0; i < kBlock; ++i) in[i] = (static_cast<float>(std::rand()) / float(RAND_MAX) - 0.5f) * 0.8f;
    long long samples = 0;
    for (auto _ : state) {
        renderBlock(*chain, params.data(), in.data(), kBlock);
        samples += kBlock;
    }
    reportCost(state, samples);
}
BENCHMARK(BM_EffectChainSignal);

// Tails decaying towards zero: the case where denormals would show.
void BM_EffectChainSilenceAfterSignal(benchmark::State& state) {
    std::vector<float> params = allStagesOn();
    params[DelayFeedback] = 0.9f;
    auto chain = std::make_unique<EffectChain>();
    std::vector<float> in(kBlock);
    for (int i = 0; i < kBlock; ++i) in[i] = (static_cast<float>(std::rand()) / float(RAND_MAX) - 0.5f) * 0.8f;
    for (int b = 0; b < 400; ++b) renderBlock(*chain, params.data(), in.data(), kBlock);
    std::vector<float> silence(kBlock, 0.0f);
    long long samples = 0;
    for (auto _ : state) {
        renderBlock(*chain, params.data(), silence.data(), kBlock);
        samples += kBlock;
    }
    reportCost(state, samples);
}
BENCHMARK(BM_EffectChainSilenceAfterSignal)->Iterations(40000);  // about four minutes of audio

void BM_EffectChainMemory(benchmark::State& state) {
    float fs = static_cast<float>(state.range(0));
    long long bytes = 0;
    for (auto _ : state) {
        long long before = liveBytes.load();
        auto chain = std::make_unique<EffectChain>();
        chain->prepare(fs);
        bytes = liveBytes.load() - before + static_cast<long long>(sizeof(EffectChain));
        benchmark::DoNotOptimize(chain.get());
    }
    state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_EffectChainMemory)->Arg(44100)->Arg(96000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace tvx
