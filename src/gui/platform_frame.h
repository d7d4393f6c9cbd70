#pragma once

#include "gui/c_color.h"
#include "gui/c_font_desc.h"
#include "gui/c_rect.h"

#include <functional>
#include <memory>
#include <string>

namespace tvx {

class CFrame;
class COptionMenu;

// What a chosen popup entry is: the menu it belongs to (the opened menu
// or one of its submenus) and its index there; menu is null when the
// popup was dismissed.
struct PopupResult {
    COptionMenu* menu = nullptr;
    int index = -1;
};

// A one-line text field for typing a value: where it lies (frame
// coordinates), what it starts with (selected, so typing replaces it), its
// look, and what Return and Escape (or the focus moving away) do. `commit`
// returns false with a reason to keep the field open and show the reason.
struct TextEditRequest {
    CRect rect;
    std::string text;
    CFontDesc font;
    CColor fontColor;
    CColor backColor;
    std::function<bool(const std::string& text, std::string& error)> commit;
    std::function<void()> cancel;
};

// The seam between a CFrame and the operating system's window. A backend
// makes a child window of the host's parent window, paints the frame into
// it when asked (through CFrame::drawRect with its own CDrawContext) and
// feeds mouse and key events to CFrame::platformOn... calls.
//
// Backends: win32/ (a child window drawn with GDI+) and x11/ (a child
// window of the host's X11 window, drawn with cairo). Tests substitute a
// headless implementation.
class PlatformFrame {
public:
    virtual ~PlatformFrame() = default;

    // The area (frame coordinates) must be repainted; a backend may paint
    // at once or at its next paint message, but before the next idle ends.
    virtual void invalidRect(const CRect& rect) = 0;
    // Repaints what invalidRect collected, now.
    virtual void flush() = 0;
    // Keeps mouse events coming to the frame while a button is held
    // outside the window.
    virtual void setMouseCapture(bool captured) = 0;
    // Shows `menu` as a popup at `where` (frame coordinates) and runs it
    // until the user chooses or dismisses it.
    virtual PopupResult popupMenu(COptionMenu& menu, const CPoint& where) = 0;
    // The native window handle of the frame's own window.
    virtual void* getNativeHandle() const = 0;
    virtual void setSize(const CRect& size) = 0;
    // Handles the window events that arrived since the last call. The
    // frame's idle calls it first; systems that deliver events to the
    // window on their own (Windows) need nothing here.
    virtual void pumpEvents() {}
    // Makes the frame's window the one the keyboard types into.
    virtual void takeKeyboardFocus() {}
    // Opens the system's own edit control for `request` with the keyboard
    // focus; false where the system has none (the frame then draws a field
    // of its own). At most one is open; closeTextEdit removes it.
    virtual bool openTextEdit(const TextEditRequest& /*request*/) { return false; }
    virtual void closeTextEdit() {}
};

// Makes the platform window for `frame` inside `parentWindow`; null where
// no window backend exists (the frame then stays headless and is drawn
// only through CFrame::drawRect).
std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow);

}  // namespace tvx
