#include "vsthost/editor_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace tvx {

namespace vsthost {

namespace {

Time millisecondsNow() {
    using namespace std::chrono;
    return Time(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The X11 window of the host: a top-level window at the top left of the
// screen that the plug-in's editor window becomes a child of.
class X11EditorWindow : public EditorWindow {
public:
    X11EditorWindow(Display* display, Window window, int width, int height)
        : display_(display), window_(window), width_(width), height_(height) {
        deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, window_, &deleteWindow_, 1);
    }
    ~X11EditorWindow() override {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }

    void* nativeHandle() override { return reinterpret_cast<void*>(static_cast<uintptr_t>(window_)); }

    void setClientSize(int width, int height) override {
        width_ = width;
        height_ = height;
        XResizeWindow(display_, window_, unsigned(width), unsigned(height));
        XSync(display_, False);
    }

    void processMessages() override {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteWindow_) open_ = false;
            if (event.type == DestroyNotify && event.xdestroywindow.window == window_) open_ = false;
        }
    }

    void waitForMessages(int milliseconds) override {
        XFlush(display_);
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        if (XPending(display_) == 0) poll(&connection, 1, milliseconds);
        processMessages();
    }

    bool isOpen() const override { return open_; }

    // The press and release go to the deepest window under the point,
    // as the server would deliver a real click.
    void clickAt(int x, int y) override {
        Window target = window_;
        int targetX = x;
        int targetY = y;
        for (;;) {
            Window child = 0;
            int unused = 0;
            XTranslateCoordinates(display_, target, target, targetX, targetY, &unused, &unused, &child);
            if (child == 0) break;
            Window deeper = 0;
            XTranslateCoordinates(display_, target, child, targetX, targetY, &targetX, &targetY, &deeper);
            target = child;
        }
        sendButton(target, targetX, targetY, x, y, ButtonPress);
        sendButton(target, targetX, targetY, x, y, ButtonRelease);
        XSync(display_, False);
    }

    bool capturePng(const std::string& path, std::string& error) override {
        // The editor paints through its own connection: give the server a
        // moment to work through what it sent.
        XSync(display_, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        XImage* image = XGetImage(display_, window_, 0, 0, unsigned(width_), unsigned(height_), AllPlanes, ZPixmap);
        if (image == nullptr) {
            error = "cannot read the editor window back from the X server";
            return false;
        }
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
        unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int row = 0; row < height_; ++row) {
            auto* line = reinterpret_cast<uint32_t*>(data + row * stride);
            for (int column = 0; column < width_; ++column)
                line[column] = uint32_t(XGetPixel(image, column, row)) & 0xFFFFFFu;
        }
        cairo_surface_mark_dirty(surface);
        const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        XDestroyImage(image);
        if (status != CAIRO_STATUS_SUCCESS) {
            error = "cannot write " + path + ": " + cairo_status_to_string(status);
            return false;
        }
        return true;
    }

private:
    void sendButton(Window target, int x, int y, int rootX, int rootY, int type) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.display = display_;
        event.xbutton.window = target;
        event.xbutton.root = DefaultRootWindow(display_);
        event.xbutton.time = millisecondsNow();
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.x_root = rootX;
        event.xbutton.y_root = rootY;
        event.xbutton.button = Button1;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.same_screen = True;
        XSendEvent(display_, target, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }

    Display* display_;
    Window window_;
    Atom deleteWindow_ = 0;
    int width_;
    int height_;
    bool open_ = true;
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::create(const std::string& title, int width, int height,
                                                   std::string& error) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        error = "cannot open the X display (set DISPLAY, or run under Xvfb for a display without a screen)";
        return nullptr;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height),
                                        0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
                                        &attributes);
    XStoreName(display, window, title.c_str());
    XSizeHints hints{};
    hints.flags = PPosition | PSize;
    XSetWMNormalHints(display, window, &hints);
    XMapRaised(display, window);
    XSync(display, False);
    return std::make_unique<X11EditorWindow>(display, window, width, height);
}

}  // namespace vsthost

}  // namespace tvx
