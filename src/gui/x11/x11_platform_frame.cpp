#include "gui/x11/x11_platform_frame.h"

#include "gui/c_frame.h"
#include "gui/cairo/cairo_draw_context.h"
#include "gui/x11/x11_error_trap.h"
#include "gui/x11/x11_image_blit.h"
#include "gui/x11/x11_popup_menu.h"

#include <cairo.h>

#include <cstdint>

namespace tvx {

namespace {

constexpr long kFrameEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                              KeyPressMask | KeyReleaseMask | StructureNotifyMask;
constexpr unsigned int kGrabEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
// Many small dirty views (voice lights, step labels) are cheaper painted
// one by one; beyond this many, one enclosing rectangle is painted.
constexpr size_t kMaxSeparateAreas = 48;

unsigned int atLeastOne(CCoord value) {
    return value < 1 ? 1u : static_cast<unsigned int>(value);
}

}  // namespace

std::unique_ptr<X11PlatformFrame> X11PlatformFrame::create(CFrame& frame, unsigned long parentWindow) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    const CRect size = frame.getViewSize();
    Window window = 0;
    bool failed = false;
    {
        X11ErrorTrap trap(display);
        XSetWindowAttributes attributes{};
        attributes.event_mask = kFrameEvents;
        attributes.background_pixmap = None;  // the back buffer paints every pixel
        attributes.bit_gravity = NorthWestGravity;
        window = XCreateWindow(display, parentWindow, 0, 0, atLeastOne(size.width()), atLeastOne(size.height()), 0,
                               CopyFromParent, InputOutput, CopyFromParent,
                               CWEventMask | CWBackPixmap | CWBitGravity, &attributes);
        failed = trap.failed();
        XWindowAttributes created{};
        if (!failed) failed = !XGetWindowAttributes(display, window, &created) ||
                              !isBlitCompatible(created.visual, created.depth);
        if (!failed) XMapWindow(display, window);
        failed = failed || trap.failed();
        if (failed && window != 0) XDestroyWindow(display, window);
    }
    if (failed) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11PlatformFrame>(new X11PlatformFrame(frame, display, window, size));
}

X11PlatformFrame::X11PlatformFrame(CFrame& frame, Display* display, Window window, const CRect& size)
    : frame_(frame), display_(display), window_(window), size_(size) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window_, &attributes);
    visual_ = attributes.visual;
    depth_ = attributes.depth;
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    createBackBuffer();
    invalidRect(size_);
    XFlush(display_);
}

X11PlatformFrame::~X11PlatformFrame() {
    *alive_ = false;
    if (grabbed_) XUngrabPointer(display_, CurrentTime);
    destroyBackBuffer();
    XFreeGC(display_, gc_);
    {
        // The host may have destroyed its window, and ours with it, already.
        X11ErrorTrap trap(display_);
        XDestroyWindow(display_, window_);
    }
    XCloseDisplay(display_);
}

void X11PlatformFrame::createBackBuffer() {
    const unsigned int width = atLeastOne(size_.width());
    const unsigned int height = atLeastOne(size_.height());
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(width), int(height));
}

void X11PlatformFrame::destroyBackBuffer() {
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    surface_ = nullptr;
}

void X11PlatformFrame::invalidRect(const CRect& rect) {
    CRect area = rect;
    area.bound(size_);
    if (area.isEmpty()) return;
    for (CRect& known : invalid_) {
        if (known.rectOverlap(area)) {
            known.unite(area);
            return;
        }
    }
    invalid_.push_back(area);
    if (invalid_.size() > kMaxSeparateAreas) {
        CRect all = invalid_.front();
        for (const CRect& other : invalid_) all.unite(other);
        invalid_.assign(1, all);
    }
}

void X11PlatformFrame::flush() {
    if (invalid_.empty()) return;
    std::vector<CRect> areas;
    areas.swap(invalid_);
    for (const CRect& area : areas) paintBackBuffer(area);
    cairo_surface_flush(surface_);
    for (const CRect& area : areas) copyToWindow(area);
    XFlush(display_);
}

void X11PlatformFrame::paintBackBuffer(const CRect& area) {
    cairo_t* cairo = cairo_create(surface_);
    cairo_rectangle(cairo, area.left, area.top, area.width(), area.height());
    cairo_set_source_rgb(cairo, 0, 0, 0);
    cairo_fill(cairo);
    {
        CairoDrawContext context(cairo, CRect(0, 0, size_.width(), size_.height()));
        frame_.drawRect(&context, area);
    }
    cairo_destroy(cairo);
}

void X11PlatformFrame::copyToWindow(const CRect& area) {
    blitImage(display_, window_, gc_, visual_, depth_, surface_, area);
}

void X11PlatformFrame::setMouseCapture(bool captured) {
    if (captured && !grabbed_) {
        grabbed_ = XGrabPointer(display_, window_, False, kGrabEvents, GrabModeAsync, GrabModeAsync, None, None,
                                CurrentTime) == GrabSuccess;
    } else if (!captured && grabbed_) {
        XUngrabPointer(display_, CurrentTime);
        grabbed_ = false;
    }
    XFlush(display_);
}

PopupResult X11PlatformFrame::popupMenu(COptionMenu& menu, const CPoint& where) {
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), int(where.x), int(where.y), &rootX,
                          &rootY, &child);
    // The frame's window keeps being repainted while the menu is open.
    X11PopupMenu popup(display_, menu, CPoint(rootX, rootY), [this](XEvent& event) {
        if (event.type == Expose && event.xexpose.window == window_) onExpose(event.xexpose);
    });
    return popup.run();
}

void* X11PlatformFrame::getNativeHandle() const {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window_));
}

void X11PlatformFrame::setSize(const CRect& size) {
    size_ = CRect(0, 0, size.width(), size.height());
    XResizeWindow(display_, window_, atLeastOne(size_.width()), atLeastOne(size_.height()));
    destroyBackBuffer();
    createBackBuffer();
    invalid_.clear();
    invalidRect(size_);
    flush();
}

void X11PlatformFrame::pumpEvents() {
    const std::shared_ptr<bool> alive = alive_;
    while (*alive && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (!dispatch(event)) return;
    }
}

bool X11PlatformFrame::dispatch(XEvent& event) {
    const std::shared_ptr<bool> alive = alive_;
    switch (event.type) {
    case Expose: onExpose(event.xexpose); break;
    case ButtonPress: onButtonPress(event.xbutton); break;
    case ButtonRelease: onButtonRelease(event.xbutton); break;
    case MotionNotify: onMotion(event.xmotion); break;
    case KeyPress: onKey(event.xkey, true); break;
    // A grab's leave is no leave: the pointer is still over the window.
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal) frame_.platformOnMouseExited();
        break;
    case KeyRelease: onKey(event.xkey, false); break;
    default: break;
    }
    return *alive;
}

void X11PlatformFrame::onExpose(const XExposeEvent& event) {
    // Whatever is still to be painted goes into the buffer first, so the
    // copy never shows a stale picture.
    flush();
    copyToWindow(CRect(event.x, event.y, event.x + event.width, event.y + event.height));
    XFlush(display_);
}

void X11PlatformFrame::onButtonPress(const XButtonEvent& event) {
    const CPoint where(event.x, event.y);
    const float notches = wheelNotches(event.button);
    if (notches != 0.0f) {
        frame_.platformOnWheel(where, notches, modifiersFromState(event.state));
        return;
    }
    const CButtonState button = buttonFlag(event.button);
    if (button == 0) return;
    CButtonState buttons = button | modifiersFromState(event.state);
    if (clicks_.press(event.button, event.time, event.x, event.y)) buttons |= kDoubleClick;
    // Keys reach the frame only while its window has the focus.
    {
        X11ErrorTrap trap(display_);
        XSetInputFocus(display_, window_, RevertToParent, event.time);
    }
    frame_.platformOnMouseDown(where, buttons);
}

void X11PlatformFrame::takeKeyboardFocus() {
    // A host window that is not viewable refuses the focus: the trap keeps
    // that from ending the host.
    X11ErrorTrap trap(display_);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XFlush(display_);
}

void X11PlatformFrame::onButtonRelease(const XButtonEvent& event) {
    const CButtonState button = buttonFlag(event.button);
    if (button == 0) return;
    frame_.platformOnMouseUp(CPoint(event.x, event.y), button | modifiersFromState(event.state));
}

void X11PlatformFrame::onMotion(XMotionEvent& event) {
    // Only the latest position of a burst matters to a drag.
    while (XCheckTypedWindowEvent(display_, window_, MotionNotify, reinterpret_cast<XEvent*>(&event))) {
    }
    clicks_.moved(event.x, event.y);
    frame_.platformOnMouseMoved(CPoint(event.x, event.y), buttonsFromState(event.state));
}

void X11PlatformFrame::onKey(XKeyEvent& event, bool down) {
    const CKeyEvent key = keyFromEvent(event);
    if (key.virtualKey == kVirtualKeyNone && key.character == 0) return;
    if (down) {
        frame_.platformOnKeyDown(key);
    } else {
        frame_.platformOnKeyUp(key);
    }
}

}  // namespace tvx
