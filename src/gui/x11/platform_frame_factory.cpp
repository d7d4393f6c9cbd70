#include "gui/platform_frame.h"

// Linux hosts get no editor window yet: the X11 window that will embed
// the frame belongs here. Until then a frame opened on Linux is headless
// (its views exist and can be drawn offscreen, nothing is shown).
std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame& /*frame*/, void* /*parentWindow*/) {
    return nullptr;
}
