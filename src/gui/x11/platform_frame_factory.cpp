#include "gui/platform_frame.h"
#include "gui/x11/x11_platform_frame.h"

#include <cstdint>

namespace tvx {

// Hosts pass the X11 window id of their editor window as the pointer-sized
// parent argument. Without a display (a headless run) the frame stays
// headless and is drawn only through CFrame::drawRect.
std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow) {
    const auto parent = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parentWindow));
    if (parent == 0) return nullptr;
    return X11PlatformFrame::create(frame, parent);
}

}  // namespace tvx
