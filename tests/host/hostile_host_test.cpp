// The plug-in under the calls of careless hosts, through the binary
// interface: block sizes that were never announced, events in several calls,
// rate changes, any order of mains and program calls, chunks asked for again
// and again, editor calls without an editor.

#include <cmath>
#include <cstring>
#include <vector>

#include "host/plugin_test_support.h"
#include "params/parameter_id.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace tvx {

namespace {

constexpr float kOutputLimit = 1.41254f;

class HostileHost : public LoadedPlugin {
protected:
    VstIntPtr op(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return host.dispatch(opcode, index, value, ptr, opt);
    }

    // Oscillator 1 alone as a sine, straight to the output.
    void useSine() {
        setParameter(Osc1Pos, 0.75f);
        setParameter(Flt1Type, 0.0f);
    }

    // Two notes in two separate effProcessEvents calls.
    void sendTwoCalls(int firstNote, int secondNote) {
        sendMidi(0, 0x90, firstNote, 100);
        sendMidi(0, 0x90, secondNote, 100);
    }

    static void expectClean(const std::vector<float>& samples) {
        for (size_t i = 0; i < samples.size(); ++i)
            ASSERT_TRUE(std::isfinite(samples[i]) && std::fabs(samples[i]) <= kOutputLimit) << i << ": " << samples[i];
    }

    static double peak(const std::vector<float>& samples, size_t from = 0) {
        double level = 0.0;
        for (size_t i = from; i < samples.size(); ++i) level = std::max(level, std::fabs(double(samples[i])));
        return level;
    }

    // Frequency from the rising zero crossings (interpolated) after `from`.
    static double frequency(const std::vector<float>& samples, size_t from, double rate) {
        double first = -1.0, last = -1.0;
        int crossings = 0;
        for (size_t i = from + 1; i < samples.size(); ++i) {
            if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
                double at = double(i - 1) + double(samples[i - 1]) / double(samples[i - 1] - samples[i]);
                if (first < 0.0) first = at;
                else ++crossings;
                last = at;
            }
        }
        return crossings > 0 ? crossings * rate / (last - first) : 0.0;
    }
};

}  // namespace

TEST_F(HostileHost, BlocksOfAnySizeRenderTheSameSound) {
    useSine();
    sendMidi(0, 0x90, 69, 100);
    std::vector<float> announced, announcedRight;
    render(16384, announced, announcedRight, 512);
    expectClean(announced);
    ASSERT_GT(peak(announced), 0.05);

    for (int block : {1, 7, 8192, 20000}) {
        SCOPED_TRACE(block);
        vsthost::PluginHost other;
        std::string error;
        ASSERT_TRUE(other.load(TVX_PLUGIN_PATH, error)) << error;
        other.start(44100.0, 512);  // announces 512, then renders something else
        AEffect* e = other.effect();
        e->setParameter(e, Osc1Pos, 0.75f);
        e->setParameter(e, Flt1Type, 0.0f);
        MidiBlock().add(0, 0x90, 69, 100).sendTo(other);
        std::vector<float> left(16384), right(16384);
        for (int start = 0; start < 16384; start += block) {
            int n = std::min(block, 16384 - start);
            float* outputs[2] = {left.data() + start, right.data() + start};
            e->processReplacing(e, nullptr, outputs, n);
        }
        expectClean(left);
        EXPECT_NEAR(peak(left), peak(announced), 1e-3);
        EXPECT_NEAR(frequency(left, 4410, 44100.0), 440.0, 1.0);
    }
}

TEST_F(HostileHost, EventsOfTwoCallsBeforeOneBlockBothSound) {
    useSine();
    std::vector<float> oneNote, right;
    sendMidi(0, 0x90, 69, 100);
    render(8192, oneNote, right);
    const double single = peak(oneNote, 4096);

    op(effMainsChanged, 0, 0);
    op(effMainsChanged, 0, 1);
    sendTwoCalls(69, 81);  // A4 and A5 reach the same block through two calls
    std::vector<float> twoNotes;
    render(8192, twoNotes, right);
    expectClean(twoNotes);
    // An octave above adds its own sine: the sum exceeds a single note.
    EXPECT_GT(peak(twoNotes, 4096), 1.3 * single);
}

TEST_F(HostileHost, PitchIsRightAfterRateChangesWhileSuspended) {
    useSine();
    for (float rate : {8000.0f, 22050.0f, 192000.0f, 768000.0f, 44100.0f}) {
        SCOPED_TRACE(rate);
        op(effMainsChanged, 0, 0);
        op(effSetSampleRate, 0, 0, nullptr, rate);
        op(effMainsChanged, 0, 1);
        sendMidi(0, 0x90, 69, 100);
        std::vector<float> left, right;
        const size_t frames = static_cast<size_t>(rate / 2);  // half a second
        render(static_cast<int>(frames), left, right, 1024);
        expectClean(left);
        EXPECT_NEAR(frequency(left, frames / 5, rate), 440.0, 440.0 * 0.002);
        sendMidi(0, 0x80, 69, 0);
    }
}

// A host cannot be refused a rate: beyond the range the plug-in plays
// silence, not a wrong pitch, and plays again once the rate is back in it.
TEST_F(HostileHost, RateAboveTheRangeIsSilent) {
    useSine();
    std::vector<float> left, right;
    for (float rate : {1536000.0f, 48000.0f}) {
        op(effMainsChanged, 0, 0);
        op(effSetSampleRate, 0, 0, nullptr, rate);
        op(effMainsChanged, 0, 1);
        sendMidi(0, 0x90, 69, 100);
        render(24000, left, right, 1024);
        sendMidi(0, 0x80, 69, 0);
    }
    EXPECT_NEAR(frequency(left, 4800, 48000.0), 440.0, 440.0 * 0.002);
    op(effMainsChanged, 0, 0);
    op(effSetSampleRate, 0, 0, nullptr, 1536000.0f);
    op(effMainsChanged, 0, 1);
    sendMidi(0, 0x90, 69, 100);
    render(24000, left, right, 1024);
    EXPECT_EQ(peak(left) + peak(right), 0.0);
}

TEST_F(HostileHost, MainsAndProgramCallsInAnyOrderKeepTheInstancePlayable) {
    useSine();
    const VstInt32 orders[][5] = {
        {effSetProgram, effMainsChanged, effSetProgram, effMainsChanged, effSetProgram},
        {effMainsChanged, effMainsChanged, effSetProgram, effSetProgram, effMainsChanged},
        {effSetProgram, effSetProgram, effMainsChanged, effMainsChanged, effMainsChanged},
    };
    int mains = 0;
    for (const auto& order : orders) {
        for (VstInt32 opcode : order) {
            if (opcode == effMainsChanged) op(opcode, 0, (mains++ % 3) != 1 ? 1 : 0);
            else op(opcode, 0, mains % 2);
        }
        op(effMainsChanged, 0, 1);
        sendMidi(0, 0x90, 69, 100);
        std::vector<float> left, right;
        render(4096, left, right);
        expectClean(left);
        EXPECT_GT(peak(left), 0.05);
        sendMidi(0, 0xB0, 123, 0);
    }
}

TEST_F(HostileHost, ChunkBufferStaysValidUntilTheNextRequest) {
    void* first = nullptr;
    VstIntPtr size = op(effGetChunk, 0, 0, &first);
    ASSERT_GT(size, 0);
    ASSERT_NE(first, nullptr);
    const std::vector<unsigned char> copy(static_cast<unsigned char*>(first),
                                          static_cast<unsigned char*>(first) + size);
    // Other calls in between leave it alone; a host may even hand it back.
    std::vector<float> left, right;
    render(1024, left, right);
    op(effGetProgramName, 0, 0, std::vector<char>(64).data());
    EXPECT_EQ(std::memcmp(first, copy.data(), copy.size()), 0);
    op(effSetChunk, 0, size, first);
    EXPECT_EQ(std::memcmp(first, copy.data(), copy.size()), 0);

    void* second = nullptr;
    ASSERT_EQ(op(effGetChunk, 1, 0, &second), size);
    EXPECT_EQ(std::memcmp(second, copy.data(), copy.size()), 0);
    setParameter(Volume, 0.25f);
    for (int i = 0; i < 5; ++i) {
        void* again = nullptr;
        VstIntPtr n = op(effGetChunk, 0, 0, &again);
        ASSERT_GT(n, 0);
        EXPECT_NE(std::memcmp(again, copy.data(), std::min<size_t>(copy.size(), size_t(n))), 0);
    }
}

// The editor exists from the start, but without a window of the host it
// never opens; calls in any order and with null or bogus pointers do no harm.
TEST_F(HostileHost, EditorCallsWithoutAWindowDoNothing) {
    for (VstInt32 opcode : {effEditGetRect, effEditOpen, effEditClose, effEditDraw, effEditMouse, effEditKey,
                            effEditIdle, effEditTop, effEditSleep, effEditKeyDown, effEditKeyUp}) {
        SCOPED_TRACE(opcode);
        EXPECT_EQ(op(opcode, 0, 0, nullptr), 0);
        if (opcode == effEditGetRect || opcode == effEditOpen) continue;  // a buffer is a rectangle slot / window
        char buffer[64] = {};
        EXPECT_EQ(op(opcode, 1, 1, buffer), 0);
    }
    EXPECT_EQ(op(effSetEditKnobMode, 0, 7), 0);  // no such mode
    for (int i = 0; i < 100; ++i) op(effEditIdle);
    op(effEditClose);
    op(effEditClose);
    EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
}

TEST(HostileHostLifecycle, CloseRightAfterCreationInAnyState) {
    for (int variant = 0; variant < 3; ++variant) {
        vsthost::PluginHost host;
        std::string error;
        ASSERT_TRUE(host.load(TVX_PLUGIN_PATH, error)) << error;
        if (variant == 1) host.dispatch(effOpen);
        if (variant == 2) host.dispatch(effMainsChanged, 0, 1);  // closed while running
        EXPECT_EQ(host.closeEffect(), 1);
    }
}

#if defined(__SSE2__)

// The plug-in flushes denormals while it renders and hands the host its own
// floating-point flags back, whichever they were.
TEST_F(HostileHost, HostFloatingPointFlagsSurviveABlock) {
    useSine();
    sendMidi(0, 0x90, 69, 100);
    const unsigned saved = _mm_getcsr();
    std::vector<float> left, right;
    for (unsigned flags : {0x1F80u, 0x9FC0u, 0x3F80u}) {
        _mm_setcsr(flags);
        render(512, left, right);
        const unsigned after = _mm_getcsr() & ~0x3Fu;  // the sticky exception bits may change
        _mm_setcsr(saved);
        EXPECT_EQ(after, flags & ~0x3Fu) << std::hex << flags;
    }
    expectClean(left);
}
#endif

}  // namespace tvx
