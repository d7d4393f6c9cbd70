// Reading and setting values in the editor of the built .so as a musician
// does, in a real X11 window: resting the pointer, the wheel, the knob's
// right-button menu and typed values, bipolar arcs and captions that come
// back. Pointer and keys through XTest, pixels read back from the server.

// GCC 12 at -O3 takes a std::vector of this file's for a free of memory that
// never came from the heap: a known false positive of its flow analysis.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#endif

#ifndef _WIN32
// GoogleTest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/test_image_context.h"
#include "host/editor_places.h"
#include "host/midi_block.h"
#include "host/signal_analysis.h"
#include "params/parameter_id.h"
#include "support/x11_test_display.h"
#include "vsthost/editor_window.h"
#include "vsthost/plugin_host.h"

namespace tvx {

namespace {

using namespace editor_places;

// Places at 100 %: oscillator 1's fine-tune knob (bipolar, a caption under
// it), its semitone field, envelope 1's attack knob and its caption, and
// an empty stretch of the header.
constexpr int kFineX = 40, kFineY = 96;
constexpr int kSemiX = 40, kSemiY = 167;
constexpr int kAttackX = 552, kAttackY = 96, kAttackCaptionY = 127;
constexpr int kRestX = 300, kRestY = 20;
constexpr uint32_t kArc = 0x05BEEE;

class X11EditorValuesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new XvfbServer(1700, 1000); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(server_->running()) << "Xvfb could not be started";
        user_ = std::make_unique<X11TestClient>();
        ASSERT_NE(user_->display(), nullptr);
        std::string error;
        ASSERT_TRUE(host_.load(TVX_PLUGIN_PATH, error)) << error;
        host_.start(44100.0, 512);
        setParameter(kSizeCommand, 0.0f);
        user_->moveTo(kRestX, kRestY);
        std::string windowError;
        window_ = vsthost::EditorWindow::create("values test", 1056, 624, windowError);
        ASSERT_TRUE(window_) << windowError;
        ASSERT_EQ(host_.dispatch(effEditOpen, 0, 0, window_->nativeHandle()), 1);
        open_ = true;
        idle(3);
    }
    void TearDown() override {
        if (open_) host_.dispatch(effEditClose);
        window_.reset();
        host_.unload();
    }

    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) {
            host_.dispatch(effEditIdle);
            window_->waitForMessages(5);
        }
    }
    bool idleUntil(const std::function<bool()>& done) { return waitUntil(done, [this] { idle(); }); }
    Window hostWindow() const { return Window(reinterpret_cast<uintptr_t>(window_->nativeHandle())); }
    float parameter(int index) { return host_.effect()->getParameter(host_.effect(), index); }
    void setParameter(int index, float value) { host_.effect()->setParameter(host_.effect(), index, value); }

    std::vector<uint32_t> area(int left, int top, int right, int bottom) {
        std::vector<uint32_t> pixels;
        for (int y = top; y < bottom; y += 2)
            for (int x = left; x < right; x += 2) pixels.push_back(user_->pixel(x, y));
        return pixels;
    }
    std::vector<uint32_t> attackCaption() { return area(kAttackX - 28, kAttackCaptionY - 7, kAttackX + 28, kAttackCaptionY + 7); }
    // Arc pixels of a knob at (x, y), left and right of its vertical axis.
    std::pair<int, int> arcPixels(int x, int y) {
        int left = 0, right = 0;
        for (int dy = -24; dy <= 24; ++dy)
            for (int dx = -24; dx <= 24; ++dx)
                // The round cap of an arc from the top reaches a little past the axis.
                if (std::abs(dx) > 3 && closeTo(user_->pixel(x + dx, y + dy), kArc, 40)) (dx < 0 ? left : right) += 1;
        return {left, right};
    }

    // A right click on a control; a second user answers the popup with keys.
    bool chooseFromKnobMenu(int x, int y, const std::vector<KeySym>& keys) {
        std::atomic<bool> seen{false};
        std::thread chooser([&] {
            X11TestClient typing;
            if (!waitUntil([&] { return !typing.popups(hostWindow()).empty(); })) return;
            seen = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (KeySym key : keys) {
                typing.key(key);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        });
        user_->moveTo(x, y);
        user_->button(3, true);
        user_->button(3, false);
        idle(3);
        chooser.join();
        idle(2);
        return seen;
    }
    void type(const std::vector<KeySym>& keys) {
        for (KeySym key : keys) {
            user_->key(key);
            idle();
        }
        idle(2);
    }

    // The pitch oscillator 1 plays for A4 as a sine, in Hz.
    double playedPitch() {
        setParameter(Osc1Pos, 0.75f);
        MidiBlock().add(0, 0x90, 69, 100).sendTo(host_);
        std::vector<float> left;
        std::vector<float> block(512), right(512);
        for (int b = 0; b < 40; ++b) {
            float* out[2] = {block.data(), right.data()};
            host_.effect()->processReplacing(host_.effect(), nullptr, out, 512);
            left.insert(left.end(), block.begin(), block.end());
        }
        MidiBlock().add(0, 0x80, 69, 0).sendTo(host_);
        return signal_analysis::zeroCrossingFrequency(left, 8192, left.size(), 44100.0);
    }

    static XvfbServer* server_;
    std::unique_ptr<X11TestClient> user_;
    vsthost::PluginHost host_;
    std::unique_ptr<vsthost::EditorWindow> window_;
    bool open_ = false;
};

XvfbServer* X11EditorValuesTest::server_ = nullptr;

TEST_F(X11EditorValuesTest, RestingThePointerShowsTheValueAndLeavingRestoresTheCaption) {
    const std::vector<uint32_t> caption = attackCaption();
    user_->moveTo(kAttackX, kAttackY);
    ASSERT_TRUE(idleUntil([&] { return attackCaption() != caption; })) << "the caption shows the value";
    user_->writePng(0, 0, 1056, 624, std::string(TVX_SCRATCH_DIR) + "/x11-hover-caption.png");
    user_->moveTo(kRestX, kRestY);
    EXPECT_TRUE(idleUntil([&] { return attackCaption() == caption; }));

    // A value field without a caption: a label beside it names the value.
    const std::vector<uint32_t> beside = area(kSemiX + 30, kSemiY - 8, kSemiX + 150, kSemiY + 8);
    user_->moveTo(kSemiX, kSemiY);
    ASSERT_TRUE(idleUntil([&] { return area(kSemiX + 30, kSemiY - 8, kSemiX + 150, kSemiY + 8) != beside; }));
    user_->writePng(0, 0, 1056, 624, std::string(TVX_SCRATCH_DIR) + "/x11-hover-label.png");
    user_->moveTo(kRestX, kRestY);
    EXPECT_TRUE(idleUntil([&] { return area(kSemiX + 30, kSemiY - 8, kSemiX + 150, kSemiY + 8) == beside; }));
}

TEST_F(X11EditorValuesTest, TheWheelTurnsAKnobAndShowsItsValue) {
    const std::vector<uint32_t> caption = attackCaption();
    const float before = parameter(Env1Att);
    user_->moveTo(kAttackX, kAttackY);
    user_->button(4, true);
    user_->button(4, false);
    idle();
    EXPECT_TRUE(idleUntil([&] { return parameter(Env1Att) > before; }));
    EXPECT_TRUE(idleUntil([&] { return attackCaption() != caption; }));
}

TEST_F(X11EditorValuesTest, TypingSemitonesInTheKnobMenusFieldRetunesTheOscillator) {
    const double unchanged = playedPitch();
    ASSERT_NEAR(unchanged, 440.0, 2.0);

    // "banana" says why and changes nothing; Escape closes.
    ASSERT_TRUE(chooseFromKnobMenu(kSemiX, kSemiY, {XK_Down, XK_Return}));  // "Enter Value…"
    type({XK_b, XK_a, XK_n, XK_a, XK_n, XK_a, XK_Return});
    user_->writePng(0, 0, 400, 250, std::string(TVX_SCRATCH_DIR) + "/x11-typed-banana.png");
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);
    type({XK_Escape});
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);

    // Escape after typing a good value changes nothing either.
    ASSERT_TRUE(chooseFromKnobMenu(kSemiX, kSemiY, {XK_Down, XK_Return}));
    type({XK_minus, XK_5, XK_Escape});
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);

    host_.state().automations.clear();
    ASSERT_TRUE(chooseFromKnobMenu(kSemiX, kSemiY, {XK_Down, XK_Return}));
    type({XK_minus, XK_1, XK_2, XK_space, XK_s, XK_t, XK_Return});
    EXPECT_NE(parameter(Osc1Semi), 0.5f);
    ASSERT_FALSE(host_.state().automations.empty()) << "the host sees the change as an edit";
    EXPECT_EQ(host_.state().automations.back().first, Osc1Semi);
    EXPECT_NEAR(playedPitch(), 220.0, 1.0);
    EXPECT_TRUE(user_->popups(hostWindow()).empty());

    // "Default" puts it back.
    ASSERT_TRUE(chooseFromKnobMenu(kSemiX, kSemiY, {XK_Down, XK_Down, XK_Return}));
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);
}

TEST_F(X11EditorValuesTest, ABipolarKnobLightsNothingAtNeutralAndItsSideOtherwise) {
    auto arcAt = [&](float value) {
        setParameter(Osc1Fine, value);
        idle(3);
        return arcPixels(kFineX, kFineY);
    };
    const auto neutral = arcAt(0.5f);
    EXPECT_EQ(neutral.first + neutral.second, 0);
    const auto down = arcAt(0.25f);
    EXPECT_GT(down.first, 40);
    EXPECT_EQ(down.second, 0);
    const auto up = arcAt(0.75f);
    EXPECT_GT(up.second, 40);
    EXPECT_EQ(up.first, 0);
}

TEST_F(X11EditorValuesTest, TheCaptionReturnsAfterADoubleClickReset) {
    const std::vector<uint32_t> caption = attackCaption();
    setParameter(Env1Att, 0.3f);
    idle(2);
    user_->click(1, kAttackX, kAttackY);
    user_->click(1, kAttackX, kAttackY);
    ASSERT_TRUE(idleUntil([&] { return std::fabs(parameter(Env1Att) - 0.046416f) < 1e-6f; }));
    // The pointer leaves at once, before any readout of resting could start.
    user_->moveTo(kRestX, kRestY);
    idle(2);
    EXPECT_EQ(attackCaption(), caption);
}

}  // namespace

}  // namespace tvx

#endif
