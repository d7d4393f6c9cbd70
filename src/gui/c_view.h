#pragma once

#include "gui/c_button_state.h"
#include "gui/c_draw_context.h"
#include "gui/c_rect.h"

#include <atomic>

namespace tvx {

class CViewContainer;
class CFrame;

// A rectangle of the window that draws itself and may take the mouse.
//
// The view's size is in its parent container's coordinates, and so are
// the points of the mouse calls it receives. Views are made with `new`
// and handed to a container, which owns and deletes them.
//
// Threads: setDirty may be called from any thread (it only sets a flag);
// everything else, drawing included, runs on the UI thread.
class CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    virtual void draw(CDrawContext* context);
    // Draws the part `updateRect` (parent coordinates) of the view; views
    // that can draw a part cheaply override it.
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    // `distance` is in wheel notches, positive away from the user.
    virtual bool onWheel(const CPoint& where, float distance, const CButtonState& buttons);
    // Returns true when the key was used.
    virtual bool onKeyDown(const CKeyEvent& key);
    virtual bool onKeyUp(const CKeyEvent& key);

    // A dirty view is redrawn at the frame's next idle.
    virtual void setDirty(bool dirty = true) { dirty_.store(dirty, std::memory_order_release); }
    virtual bool isDirty() const { return dirty_.load(std::memory_order_acquire); }
    // Marks the view dirty (VSTGUI's name for the same).
    void invalid() { setDirty(true); }

    const CRect& getViewSize() const { return size_; }
    CRect& getViewSize(CRect& rect) const {
        rect = size_;
        return rect;
    }
    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    CCoord getWidth() const { return size_.width(); }
    CCoord getHeight() const { return size_.height(); }
    // The view's rectangle in frame (window) coordinates.
    CRect getFrameRect() const;
    // Converts a point from the parent's coordinates to the frame's.
    CPoint localToFrame(const CPoint& point) const;

    // The area that takes the mouse, in parent coordinates; by default the
    // view's size.
    const CRect& getMouseableArea() const { return mouseableArea_; }
    void setMouseableArea(const CRect& rect) { mouseableArea_ = rect; }
    bool getMouseEnabled() const { return mouseEnabled_; }
    void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = 0);

    bool isVisible() const { return visible_; }
    virtual void setVisible(bool visible);

    // A transparent view lets what lies below it show through, so its
    // parent redraws the area behind it first.
    bool getTransparency() const { return transparent_; }
    virtual void setTransparency(bool transparent);

    CViewContainer* getParentView() const { return parent_; }
    CFrame* getFrame() const;
    virtual bool isContainer() const { return false; }

    // Called by the container that takes or releases the view.
    virtual void attached(CViewContainer* parent);
    virtual void removed(CViewContainer* parent);
    bool isAttached() const { return parent_ != nullptr; }

protected:
    CRect size_;
    CRect mouseableArea_;

private:
    CViewContainer* parent_ = nullptr;
    std::atomic<bool> dirty_{true};
    bool mouseEnabled_ = true;
    bool visible_ = true;
    bool transparent_ = false;
};

}  // namespace tvx
