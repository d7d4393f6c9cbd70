#pragma once

#include "gui/platform_frame.h"
#include "gui/win32/gdiplus_session.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "gui/win32/win32_text_edit.h"

namespace tvx {

class CFrame;
class COptionMenu;

// The frame's window on Windows: a child of the host's editor window,
// painted double-buffered through GDI+, with mouse capture during drags
// and TrackPopupMenu popups. Each one holds its own GDI+ and OLE
// initialisation, undone when it is destroyed.
class Win32PlatformFrame : public PlatformFrame {
public:
    Win32PlatformFrame(CFrame& frame, HWND parent);
    ~Win32PlatformFrame() override;

    bool isValid() const { return window_ != nullptr; }

    void invalidRect(const CRect& rect) override;
    void flush() override;
    void setMouseCapture(bool captured) override;
    PopupResult popupMenu(COptionMenu& menu, const CPoint& where) override;
    void* getNativeHandle() const override { return window_; }
    void setSize(const CRect& size) override;
    bool openTextEdit(const TextEditRequest& request) override;
    void closeTextEdit() override;

    // The window class name of this module (unique per loaded copy).
    static const wchar_t* windowClassName();
    // Windows of this module alive now.
    static long liveWindows();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC target, const RECT& area);
    void mouseEvent(UINT message, WPARAM wParam, LPARAM lParam);

    struct MenuChoice {
        COptionMenu* menu;
        int index;
    };
    HMENU buildMenu(COptionMenu& menu, std::vector<MenuChoice>& choices);

    CFrame& frame_;
    GdiplusSession gdiplus_;
    bool oleInitialised_ = false;
    HWND window_ = nullptr;
    std::unique_ptr<Win32TextEdit> textEdit_;
};

}  // namespace tvx
