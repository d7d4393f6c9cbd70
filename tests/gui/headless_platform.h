#pragma once

#include "gui/c_frame.h"
#include "gui/c_control_listener.h"
#include "gui/c_option_menu.h"
#include "test_image_context.h"

#include <functional>
#include <vector>

namespace tvx {

// A window without a window: paints the frame into an offscreen image,
// records what it was asked to repaint and answers popup menus with a
// scripted choice.
class HeadlessPlatform : public PlatformFrame {
public:
    using MenuAnswer = std::function<PopupResult(COptionMenu& menu, const CPoint& where)>;

    HeadlessPlatform(CFrame& frame, TestImageContext& image) : frame_(frame), image_(image) {}

    void invalidRect(const CRect& rect) override { pending_.push_back(rect); }
    void flush() override {
        for (const CRect& rect : pending_) {
            frame_.drawRect(&image_, rect);
            painted.push_back(rect);
        }
        pending_.clear();
    }
    void setMouseCapture(bool capture) override { captured = capture; }
    PopupResult popupMenu(COptionMenu& menu, const CPoint& where) override {
        ++popups;
        popupWhere = where;
        return answer ? answer(menu, where) : PopupResult{};
    }
    void* getNativeHandle() const override { return nullptr; }
    void setSize(const CRect&) override {}

    std::vector<CRect> painted;
    bool captured = false;
    int popups = 0;
    CPoint popupWhere;
    MenuAnswer answer;

private:
    CFrame& frame_;
    TestImageContext& image_;
    std::vector<CRect> pending_;
};

// A frame of the given size drawn into its own image through a headless
// platform.
struct HeadlessFrame {
    explicit HeadlessFrame(CCoord width, CCoord height)
        : image(width, height), frame(new CFrame({0, 0, width, height}, nullptr, nullptr)) {
        auto owned = std::make_unique<HeadlessPlatform>(*frame, image);
        platform = owned.get();
        frame->setPlatformFrame(std::move(owned));
    }
    ~HeadlessFrame() { delete frame; }

    // Mouse gestures in frame coordinates.
    void press(CPoint where, CButtonState buttons = kLButton) { frame->platformOnMouseDown(where, buttons); }
    void moveTo(CPoint where, CButtonState buttons = kLButton) { frame->platformOnMouseMoved(where, buttons); }
    void release(CPoint where, CButtonState buttons = kLButton) { frame->platformOnMouseUp(where, buttons); }
    void click(CPoint where, CButtonState buttons = kLButton) {
        press(where, buttons);
        release(where, buttons);
    }

    TestImageContext image;
    CFrame* frame;
    HeadlessPlatform* platform;
};

// Counts what a listener hears.
struct RecordingListener : CControlListener {
    void valueChanged(CControl* control) override {
        changes.push_back(control);
        values.push_back(control->getValue());
    }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }

    std::vector<CControl*> changes;
    std::vector<float> values;
    int begins = 0;
    int ends = 0;
};

}  // namespace tvx
