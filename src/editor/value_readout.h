#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tvx {

class CFrame;
class EditorHost;
class ParamLabel;
struct ControlRegistry;
struct EditorStyle;

// Tells a control's value without changing it: after the pointer has
// rested on a knob for a moment, and while the wheel turns it. Knobs with a
// caption show the value in the caption (the editor asks `captionParameter`);
// the others get a small label beside the control, in the display font.
class ValueReadout {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kRestDelay{500};
    static constexpr std::chrono::milliseconds kWheelHold{1200};

    // Adds the label as the frame's topmost view.
    void build(CFrame& frame, const EditorStyle& style);
    void clear();

    void wheelTurned(int parameter);
    // Follows the pointer; cheap when nothing moved and nothing is shown.
    void idle(CFrame& frame, const ControlRegistry& registry, const EditorHost& host);
    // The parameter whose caption shows its value now, or -1.
    int captionParameter() const;
    // The parameter being read out now (caption or label), or -1.
    int shownParameter() const { return shown_; }

private:
    ParamLabel* label_ = nullptr;
    double factor_ = 1.0;
    uint32_t seenMoves_ = 0;
    int restingOn_ = -1;
    Clock::time_point restingSince_{};
    int shown_ = -1;
    bool byWheel_ = false;
    Clock::time_point wheelUntil_{};
    float shownValue_ = -1.0f;

    void show(int parameter, CFrame& frame, const ControlRegistry& registry, const EditorHost& host);
    void hide();
    void refreshLabel(const EditorHost& host);
};

}  // namespace tvx
