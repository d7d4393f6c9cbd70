#include "vsthost/editor_window.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <gdiplus.h>

#include <cstdint>
#include <vector>

namespace tvx {

namespace vsthost {

namespace {

// The PNG encoder that every GDI+ provides.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const wchar_t kWindowClass[] = L"VsthostEditorWindow";
const wchar_t kClosedProperty[] = L"VsthostClosed";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::wstring widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], n);
    return w;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Closing only hides the window: the host closes the editor first, and
    // destroys the window with the editor's views after that.
    if (message == WM_CLOSE) {
        SetPropW(window, kClosedProperty, reinterpret_cast<HANDLE>(1));
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    // The window takes the editor's size even where the desktop the system
    // believes in is smaller (a wine desktop started without this display
    // is 1024 pixels wide), which would otherwise clip the editor.
    if (message == WM_GETMINMAXINFO) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxTrackSize = {32767, 32767};
        limits->ptMaxSize = {32767, 32767};
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerWindowClass() {
    WNDCLASSW existing;
    if (GetClassInfoW(GetModuleHandleW(nullptr), kWindowClass, &existing)) return true;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = windowProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    return RegisterClassW(&wc) != 0;
}

// The deepest visible child window under a client point of `parent`, with
// the point converted into its client coordinates.
HWND childAt(HWND parent, POINT& point) {
    HWND current = parent;
    for (;;) {
        HWND child = ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == current) return current;
        MapWindowPoints(current, child, &point, 1);
        current = child;
    }
}

class Win32EditorWindow : public EditorWindow {
public:
    explicit Win32EditorWindow(HWND window) : window_(window) {}
    ~Win32EditorWindow() override {
        if (IsWindow(window_)) {
            RemovePropW(window_, kClosedProperty);
            DestroyWindow(window_);
        }
        processMessages();
    }

    void* nativeHandle() override { return window_; }

    void setClientSize(int width, int height) override {
        RECT r = {0, 0, width, height};
        AdjustWindowRect(&r, kWindowStyle, FALSE);
        SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void processMessages() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void waitForMessages(int milliseconds) override {
        const DWORD start = GetTickCount();
        for (;;) {
            processMessages();
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= static_cast<DWORD>(milliseconds)) return;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds) - elapsed, QS_ALLINPUT);
        }
    }

    bool isOpen() const override { return IsWindow(window_) && !GetPropW(window_, kClosedProperty); }

    void clickAt(int x, int y) override {
        POINT p = {x, y};
        HWND target = childAt(window_, p);
        LPARAM where = MAKELPARAM(p.x, p.y);
        SendMessageW(target, WM_MOUSEMOVE, 0, where);
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(target, WM_LBUTTONUP, 0, where);
        processMessages();
    }

    bool capturePng(const std::string& path, std::string& error) override {
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        processMessages();
        RECT client;
        GetClientRect(window_, &client);
        const int width = client.right, height = client.bottom;
        if (width <= 0 || height <= 0) {
            error = "the editor window has no visible area to capture";
            return false;
        }
        std::vector<uint32_t> pixels;
        if (!readPixels(width, height, pixels)) {
            error = "cannot read the editor window back from the screen";
            return false;
        }
        return writePng(path, width, height, pixels, error);
    }

private:
    HWND window_;

    bool readPixels(int width, int height, std::vector<uint32_t>& pixels) {
        HDC windowDc = GetDC(window_);
        HDC memoryDc = CreateCompatibleDC(windowDc);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bool ok = bitmap && bits;
        if (ok) {
            HGDIOBJ old = SelectObject(memoryDc, bitmap);
            ok = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY) != FALSE;
            GdiFlush();
            SelectObject(memoryDc, old);
            if (ok) {
                const auto* source = static_cast<const uint32_t*>(bits);
                pixels.assign(source, source + static_cast<size_t>(width) * height);
                for (uint32_t& p : pixels) p |= 0xFF000000u;  // the screen has no transparency
            }
        }
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(memoryDc);
        ReleaseDC(window_, windowDc);
        return ok;
    }

    static bool writePng(const std::string& path, int width, int height, std::vector<uint32_t>& pixels,
                         std::string& error) {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
            error = "GDI+ is not available to write the PNG file";
            return false;
        }
        using namespace Gdiplus::DllExports;
        Gdiplus::GpBitmap* image = nullptr;
        int status = GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                               reinterpret_cast<BYTE*>(pixels.data()), &image);
        if (status == 0) status = GdipSaveImageToFile(image, widen(path).c_str(), &kPngEncoder, nullptr);
        if (image) GdipDisposeImage(image);
        Gdiplus::GdiplusShutdown(token);
        if (status != 0) {
            error = "cannot write '" + path + "' (GDI+ status " + std::to_string(status) + ")";
            return false;
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::create(const std::string& title, int width, int height,
                                                   std::string& error) {
    if (!registerWindowClass()) {
        error = "cannot register the editor window class";
        return nullptr;
    }
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, kWindowStyle, FALSE);
    HWND window = CreateWindowExW(0, kWindowClass, widen(title).c_str(), kWindowStyle, 0, 0, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        error = "cannot create a window (is there a display? under wine, start Xvfb and set DISPLAY)";
        return nullptr;
    }
    // Placed so that the client area starts at the screen's top left corner:
    // whatever lies off screen would read back black.
    SetWindowPos(window, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    auto result = std::make_unique<Win32EditorWindow>(window);
    result->processMessages();
    return result;
}

}  // namespace vsthost

}  // namespace tvx
