#include "gui/x11/x11_error_trap.h"

namespace tvx {

namespace {

// Xlib calls the handler without any context, so the flag is global; the
// trap is only used on the UI thread and never nested.
bool trappedError = false;

int recordError(Display*, XErrorEvent*) {
    trappedError = true;
    return 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    trappedError = false;
    previous_ = XSetErrorHandler(recordError);
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

bool X11ErrorTrap::failed() {
    XSync(display_, False);
    return trappedError;
}

}  // namespace tvx
