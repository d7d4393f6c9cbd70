#pragma once

#include "gui/platform_frame.h"
#include "gui/x11/x11_input.h"

#include <X11/Xlib.h>

#include <memory>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace tvx {

// The editor window on Linux: a child of the host's window, with its own
// display connection (hosts call the editor from their UI thread, but the
// host's own connection is not ours to use). The frame is painted into a
// cairo image of the window's size and copied to the window, so an expose costs
// a copy and a repaint never flickers. X events are read only when the
// frame's idle pumps them: Linux hosts call effEditIdle regularly from the
// thread that opened the editor.
class X11PlatformFrame : public PlatformFrame {
public:
    // Null when there is no display or the parent window does not exist.
    static std::unique_ptr<X11PlatformFrame> create(CFrame& frame, unsigned long parentWindow);
    ~X11PlatformFrame() override;

    void invalidRect(const CRect& rect) override;
    void flush() override;
    void setMouseCapture(bool captured) override;
    PopupResult popupMenu(COptionMenu& menu, const CPoint& where) override;
    void* getNativeHandle() const override;
    void setSize(const CRect& size) override;
    void pumpEvents() override;
    void takeKeyboardFocus() override;

private:
    X11PlatformFrame(CFrame& frame, Display* display, Window window, const CRect& size);

    void createBackBuffer();
    void destroyBackBuffer();
    void paintBackBuffer(const CRect& area);
    void copyToWindow(const CRect& area);
    // Returns false when the frame went away while the event was handled.
    bool dispatch(XEvent& event);
    void onExpose(const XExposeEvent& event);
    void onButtonPress(const XButtonEvent& event);
    void onButtonRelease(const XButtonEvent& event);
    void onMotion(XMotionEvent& event);
    void onKey(XKeyEvent& event, bool down);

    CFrame& frame_;
    Display* display_;
    Window window_;
    CRect size_;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    GC gc_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    std::vector<CRect> invalid_;
    ClickTracker clicks_;
    bool grabbed_ = false;
    // Cleared by the destructor: an event handler may close the frame,
    // which deletes this object while pumpEvents is still on the stack.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tvx
