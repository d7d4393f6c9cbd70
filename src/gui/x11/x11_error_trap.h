#pragma once

#include <X11/Xlib.h>

namespace tvx {

// Xlib's default error handler ends the process. A plug-in shares the
// handler with its host, so it installs its own only around the requests
// that can fail for reasons outside its control (a parent window that the
// host destroyed first, a window id that was never valid), and puts the
// host's handler back at once. UI thread only.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server's answers so far; true when any request since
    // the trap was set failed.
    bool failed();

private:
    Display* display_;
    XErrorHandler previous_;
};

}  // namespace tvx
