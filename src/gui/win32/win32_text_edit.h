#pragma once

#include <windows.h>

#include "gui/platform_frame.h"

namespace tvx {

// The system's EDIT control as the frame's value field: a child of the
// frame's window that takes the keyboard focus, with Return, Escape and the
// loss of focus routed to the request's handlers. It only reports; the
// owner destroys it (never from inside its own window procedure).
class Win32TextEdit {
public:
    Win32TextEdit(HWND parent, const TextEditRequest& request);
    ~Win32TextEdit();
    Win32TextEdit(const Win32TextEdit&) = delete;
    Win32TextEdit& operator=(const Win32TextEdit&) = delete;

    bool isValid() const { return edit_ != nullptr; }
    HWND handle() const { return edit_; }
    // WM_CTLCOLOREDIT of the parent: the field's colours, and its brush.
    HBRUSH colours(HDC dc) const;
    // Hands the keyboard back to the window that had it before the field
    // (the host's shortcuts work again); the field cancels as it loses it.
    void giveFocusBack();

private:
    static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void commit();
    void finish(bool cancelled);

    TextEditRequest request_;
    HWND edit_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH back_ = nullptr;
    WNDPROC original_ = nullptr;
    HWND focusBefore_ = nullptr;
    bool finished_ = false;
};

}  // namespace tvx
