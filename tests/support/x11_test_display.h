#pragma once
// A private X server for tests that open windows, and what they need to
// drive and read it: a host-like parent window, synthesized input through
// XTest, pixels read back with XGetImage and written as PNG to look at.
#ifndef _WIN32

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tvx {

// Starts Xvfb on a display number the server picks itself (-displayfd), so
// tests never meet another display, and points DISPLAY at it.
class XvfbServer {
public:
    XvfbServer(int width = 1600, int height = 1000) {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        // -noreset: by default the server resets when its last client leaves,
        // and a test connecting just then would find no server.
        std::vector<std::string> args{"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int failed = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (failed != 0) {
            pid_ = 0;
            close(fds[0]);
            return;
        }
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        close(fds[0]);
        if (number.empty()) return;
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return !display_.empty(); }
    const std::string& name() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
};

// A connection of the test's own, as a host has one.
class X11TestClient {
public:
    X11TestClient() : display_(XOpenDisplay(nullptr)) {}
    ~X11TestClient() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    X11TestClient(const X11TestClient&) = delete;
    X11TestClient& operator=(const X11TestClient&) = delete;

    Display* display() const { return display_; }
    Window root() const { return DefaultRootWindow(display_); }

    // A mapped top-level window, as the host's editor window.
    Window createParent(int x, int y, int width, int height) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = 0x303030;
        Window window = XCreateWindow(display_, root(), x, y, unsigned(width), unsigned(height), 0, CopyFromParent,
                                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(display_, window);
        XSync(display_, False);
        return window;
    }

    std::vector<Window> children(Window window) const {
        Window rootReturn = 0, parent = 0, *list = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display_, window, &rootReturn, &parent, &list, &count)) {
            result.assign(list, list + count);
            if (list != nullptr) XFree(list);
        }
        return result;
    }

    // Mapped override-redirect windows on the screen other than `except`:
    // the open popup menu levels.
    std::vector<Window> popups(Window except) const {
        std::vector<Window> found;
        for (Window window : children(root())) {
            XWindowAttributes attributes{};
            if (window != except && XGetWindowAttributes(display_, window, &attributes) &&
                attributes.override_redirect && attributes.map_state == IsViewable)
                found.push_back(window);
        }
        return found;
    }

    // 0xRRGGBB of a screen pixel.
    uint32_t pixel(int x, int y) {
        XSync(display_, False);
        XImage* image = XGetImage(display_, root(), x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) return 0xFFFFFFFFu;
        const uint32_t value = uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
        XDestroyImage(image);
        return value;
    }

    // The screen area written as a PNG file.
    bool writePng(int x, int y, int width, int height, const std::string& path) {
        XSync(display_, False);
        XImage* image = XGetImage(display_, root(), x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        if (image == nullptr) return false;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        auto* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                reinterpret_cast<uint32_t*>(data + row * stride)[column] =
                    uint32_t(XGetPixel(image, column, row)) & 0xFFFFFFu;
        cairo_surface_mark_dirty(surface);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        XDestroyImage(image);
        return written;
    }

    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSync(display_, False);
    }
    void button(unsigned int number, bool down) {
        XTestFakeButtonEvent(display_, number, down ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void click(unsigned int number, int x, int y) {
        moveTo(x, y);
        button(number, true);
        button(number, false);
    }
    void key(KeySym symbol) {
        const KeyCode code = XKeysymToKeycode(display_, symbol);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }

private:
    Display* display_;
};

// Calls `step` until `done` holds or two seconds have passed; the server
// works on other connections' requests in its own order.
inline bool waitUntil(const std::function<bool()>& done, const std::function<void()>& step = {}) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        if (step) step();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

inline int openFileDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

}  // namespace tvx

#endif
