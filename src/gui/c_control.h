#pragma once

#include "gui/c_bitmap.h"
#include "gui/c_view.h"

#include <atomic>
#include <cstdint>

namespace tvx {

class CControlListener;

// A view with a value 0..1 and a tag, reporting user changes to its
// listener.
//
// Threads: setValue may be called from any thread; it stores the value
// and marks the view dirty, and the frame redraws it in its next idle.
class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
             SharedBitmap background = nullptr);

    // Stores the value (clamped to the range, NaN ignored) without calling
    // the listener; marks the view dirty when it changes.
    virtual void setValue(float value);
    float getValue() const { return value_.load(std::memory_order_acquire); }
    void setDefaultValue(float value);
    float getDefaultValue() const { return defaultValue_; }
    void setMin(float value) { min_ = value; }
    float getMin() const { return min_; }
    void setMax(float value) { max_ = value; }
    float getMax() const { return max_; }
    // The value mapped to 0..1 of the range.
    float getValueNormalized() const;

    int32_t getTag() const { return tag_; }
    void setTag(int32_t tag) { tag_ = tag; }
    CControlListener* getListener() const { return listener_; }
    void setListener(CControlListener* listener) { listener_ = listener; }

    void setBackground(SharedBitmap background);
    const SharedBitmap& getBackground() const { return background_; }

    // Tells the listener about the current value (a user change).
    virtual void valueChanged();
    // Gesture brackets, forwarded to the listener.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing_; }

    // A user change from a gesture: sets the value and, if it changed,
    // tells the listener.
    void changeValueByUser(float value);

    // The amount one wheel notch moves the value (ten times less with
    // Shift or Ctrl).
    void setWheelInc(float increment) { wheelInc_ = increment; }
    float getWheelInc() const { return wheelInc_; }

protected:
    float clampValue(float value) const;

    CControlListener* listener_;
    int32_t tag_;
    SharedBitmap background_;
    float defaultValue_ = 0.5f;
    float min_ = 0.0f;
    float max_ = 1.0f;
    float wheelInc_ = 0.01f;

private:
    std::atomic<float> value_{0.0f};
    bool editing_ = false;
};

}  // namespace tvx
