// Editor-sized redraws through the toolkit on the offscreen cairo context:
// a 1056 x 624 frame (times the scale) with a background image, 200
// film-strip knobs and 150 value displays.
#include "gui/c_anim_knob.h"
#include "gui/c_frame.h"
#include "gui/c_param_display.h"
#include "gui/cairo/cairo_image_context.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace tvx {

namespace {

class OffscreenPlatform : public PlatformFrame {
public:
    OffscreenPlatform(CFrame& frame, CairoImageContext& image) : frame_(frame), image_(image) {}
    void invalidRect(const CRect& rect) override { pending_.push_back(rect); }
    void flush() override {
        for (const CRect& rect : pending_) frame_.drawRect(&image_, rect);
        pending_.clear();
    }
    void setMouseCapture(bool) override {}
    PopupResult popupMenu(COptionMenu&, const CPoint&) override { return {}; }
    void* getNativeHandle() const override { return nullptr; }
    void setSize(const CRect&) override {}

private:
    CFrame& frame_;
    CairoImageContext& image_;
    std::vector<CRect> pending_;
};

// Stand-ins for the built-in images at their stored (200 %) size.
SharedBitmap makeBackground() {
    std::vector<uint32_t> pixels(size_t(2112) * 1248);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t level = uint32_t(120 + (i * 7 % 61));
        pixels[i] = 0xff000000u | (level << 16) | (level << 8) | level;
    }
    return std::make_shared<CBitmap>(2112, 1248, std::move(pixels));
}

SharedBitmap makeKnobStrip() {
    std::vector<uint32_t> pixels(size_t(96) * 9696, 0u);
    for (int frame = 0; frame < 101; ++frame)
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x) {
                const float dx = x - 47.5f, dy = y - 47.5f;
                if (dx * dx + dy * dy < 44.0f * 44.0f)
                    pixels[size_t((frame * 96 + y) * 96 + x)] = 0xff202020u + uint32_t(frame) * 0x010101u;
            }
    return std::make_shared<CBitmap>(96, 9696, std::move(pixels));
}

struct EditorScene {
    explicit EditorScene(double scale)
        : width(int(1056 * scale)),
          height(int(624 * scale)),
          image(width, height),
          frame({0, 0, width, height}, nullptr, nullptr) {
        frame.setPlatformFrame(std::make_unique<OffscreenPlatform>(frame, image));
        static const SharedBitmap background = makeBackground();
        static const SharedBitmap strip = makeKnobStrip();
        frame.setBackground(background->scaledCopy(scale / 2.0));
        const SharedBitmap knobStrip = strip->scaledCopy(scale / 2.0);
        const int knob = int(48 * scale);
        for (int i = 0; i < 200; ++i) {
            const int x = int((16 + (i % 20) * 51) * scale);
            const int y = int((48 + (i / 20) * 56) * scale);
            auto* view = new CAnimKnob({x, y, x + knob, y + knob}, nullptr, i, 101, knob, knobStrip);
            view->setValue(float(i % 101) / 100.0f);
            frame.addView(view);
        }
        for (int i = 0; i < 150; ++i) {
            const int x = int((16 + (i % 15) * 68) * scale);
            const int y = int((40 + (i / 15) * 58) * scale);
            auto* display = new CParamDisplay({x, y, x + int(48 * scale), y + int(16 * scale)});
            display->setFont({"Consolas", int(12 * scale), kBoldFace});
            display->setFontColor({5, 190, 238, 255});
            display->setBackColor({0, 0, 34, 255});
            display->setValue(float(i) / 150.0f);
            frame.addView(display);
        }
        frame.redrawAll();
    }
    int width;
    int height;
    CairoImageContext image;
    CFrame frame;
};

void fullRedraw(benchmark::State& state, double scale) {
    EditorScene scene(scale);
    for (auto _ : state) {
        scene.frame.redrawAll();
        benchmark::ClobberMemory();
    }
}

void BM_FullRedraw100(benchmark::State& state) { fullRedraw(state, 1.0); }
void BM_FullRedraw200(benchmark::State& state) { fullRedraw(state, 2.0); }

void BM_IdleNothingDirty(benchmark::State& state) {
    EditorScene scene(1.0);
    for (auto _ : state) scene.frame.idle();
}

// The usual busy case: a handful of knobs moved by automation between idles.
void BM_IdleFourKnobsMoved(benchmark::State& state) {
    EditorScene scene(2.0);
    int step = 0;
    for (auto _ : state) {
        for (int k = 0; k < 4; ++k)
            static_cast<CControl*>(scene.frame.getView(k * 50))->setValue(float(step % 101) / 100.0f);
        ++step;
        scene.frame.idle();
    }
}

}  // namespace

BENCHMARK(BM_FullRedraw100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedraw200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleNothingDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleFourKnobsMoved)->Unit(benchmark::kMicrosecond);

}  // namespace tvx
