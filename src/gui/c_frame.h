#pragma once

#include "gui/c_view_container.h"
#include "gui/platform_frame.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace tvx {

class AEffGUIEditor;

// The root of a view tree, attached to a native parent window (the host's
// editor window). It owns the tree and destroys it when it is deleted or
// closed. Dirty views are redrawn only when idle() runs; mouse events are
// routed to the view that took the button until it is released (the
// platform captures the mouse meanwhile).
class CFrame : public CViewContainer {
public:
    // `systemWindow` is the parent window handle (HWND on Windows); null
    // makes a headless frame. `editor` may be null.
    CFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor);
    ~CFrame() override;

    // Destroys the views and the platform window; the frame stays a
    // harmless empty object until deleted.
    void close();
    bool isOpen() const { return !closed_; }

    // Redraws every dirty view. Call on the UI thread only.
    void idle();
    // Draws the part `updateRect` (frame coordinates) of the whole tree.
    // Backends call this when they paint.
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    // Whole tree, and dirty flags cleared.
    void redrawAll();

    AEffGUIEditor* getEditor() const { return editor_; }
    void* getSystemWindow() const { return systemWindow_; }
    PlatformFrame* getPlatformFrame() const { return platform_.get(); }
    // Replaces the platform window (tests use a headless one).
    void setPlatformFrame(std::unique_ptr<PlatformFrame> platform);

    // Linear (vertical) or circular knob dragging, from the editor.
    int getKnobMode() const;

    PopupResult popupMenu(COptionMenu& menu, const CPoint& whereInFrame);

    // Platform events, in frame coordinates.
    CMouseEventResult platformOnMouseDown(const CPoint& where, const CButtonState& buttons);
    CMouseEventResult platformOnMouseMoved(const CPoint& where, const CButtonState& buttons);
    CMouseEventResult platformOnMouseUp(const CPoint& where, const CButtonState& buttons);
    bool platformOnWheel(const CPoint& where, float distance, const CButtonState& buttons);
    bool platformOnKeyDown(const CKeyEvent& key);
    bool platformOnKeyUp(const CKeyEvent& key);
    // The pointer left the window.
    void platformOnMouseExited();

    // Where the pointer rests while no button is held, for readouts that
    // follow it: its last position, whether it is over the window, and a
    // count that changes with every move or exit.
    const CPoint& pointerPosition() const { return lastMouse_; }
    bool isPointerInside() const { return pointerInside_; }
    uint32_t pointerMoves() const { return pointerMoves_; }

    // A view that takes the keys before the view under the pointer (a text
    // field being typed into); null for none. The view must be in the tree.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView_; }
    // Mouse downs outside the focus view go here first (a field closes).
    void setFocusLostHandler(std::function<void()> handler) { focusLost_ = std::move(handler); }

    // The view that holds the mouse between button down and up, if any.
    bool isMouseCaptured() const { return mouseCaptured_; }
    // Where the mouse was last seen over the frame, pressed or not.
    const CPoint& getLastMouse() const { return lastMouse_; }

    void setViewSize(const CRect& rect, bool invalidate = true) override;

private:
    void releaseCapture();
    CView* viewForKeys() const;

    AEffGUIEditor* editor_;
    void* systemWindow_;
    std::unique_ptr<PlatformFrame> platform_;
    bool mouseCaptured_ = false;
    CPoint lastMouse_;
    std::vector<CRect> dirtyAreas_;
    bool closed_ = false;
    bool pointerInside_ = false;
    uint32_t pointerMoves_ = 0;
    CView* focusView_ = nullptr;
    std::function<void()> focusLost_;

    void notePointer(const CPoint& where);
};

}  // namespace tvx
