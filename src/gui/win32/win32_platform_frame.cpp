#include "gui/win32/win32_platform_frame.h"

#include "gui/c_frame.h"
#include "gui/c_option_menu.h"
#include "gui/win32/gdiplus_draw_context.h"
#include "gui/win32/win32_object_count.h"

#include <windowsx.h>

#include <atomic>
#include <cwchar>
#include <mutex>

namespace tvx {

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HINSTANCE thisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

std::atomic<long> windows{0};
std::mutex classLock;
bool classRegistered = false;

// The class is registered while windows of this module exist and removed
// with the last one, so nothing stays registered when the module unloads;
// the guard covers a host that unloads with a window still open.
struct ClassGuard {
    ~ClassGuard() {
        if (classRegistered) UnregisterClassW(Win32PlatformFrame::windowClassName(), thisModule());
    }
} classGuard;

bool registerClass(WNDPROC procedure) {
    std::lock_guard<std::mutex> lock(classLock);
    if (classRegistered) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = thisModule();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = Win32PlatformFrame::windowClassName();
    classRegistered = RegisterClassExW(&windowClass) != 0;
    return classRegistered;
}

void unregisterClassIfUnused() {
    std::lock_guard<std::mutex> lock(classLock);
    if (!classRegistered || windows.load() != 0) return;
    if (UnregisterClassW(Win32PlatformFrame::windowClassName(), thisModule())) classRegistered = false;
}

CButtonState modifiers(WPARAM wParam) {
    CButtonState state = 0;
    if (wParam & MK_SHIFT) state |= kShift;
    if (wParam & MK_CONTROL) state |= kControl;
    if (GetKeyState(VK_MENU) < 0) state |= kAlt;
    return state;
}

CButtonState heldButtons(WPARAM wParam) {
    CButtonState state = modifiers(wParam);
    if (wParam & MK_LBUTTON) state |= kLButton;
    if (wParam & MK_RBUTTON) state |= kRButton;
    if (wParam & MK_MBUTTON) state |= kMButton;
    return state;
}

bool isPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
}

std::wstring menuText(const std::string& title) {
    // A single & would underline the next letter; menus show titles as they are.
    std::wstring wide = toWide(title);
    std::wstring escaped;
    for (wchar_t c : wide) {
        if (c == L'&') escaped += L'&';
        escaped += c;
    }
    return escaped;
}

}  // namespace

const wchar_t* Win32PlatformFrame::windowClassName() {
    // The module's load address makes the name differ between two copies
    // of the plug-in (or its 32- and 64-bit builds) in one process.
    static const std::wstring name = [] {
        wchar_t buffer[64];
        std::swprintf(buffer, 64, L"GuiFrame%llx",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(thisModule())));
        return std::wstring(buffer);
    }();
    return name.c_str();
}

long Win32PlatformFrame::liveWindows() {
    return windows.load();
}

Win32PlatformFrame::Win32PlatformFrame(CFrame& frame, HWND parent) : frame_(frame) {
    const HRESULT ole = OleInitialize(nullptr);
    oleInitialised_ = SUCCEEDED(ole);
    if (!registerClass(&Win32PlatformFrame::windowProc)) return;
    const CRect& size = frame.getViewSize();
    ++windows;
    window_ = CreateWindowExW(0, windowClassName(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              0, 0, size.width(), size.height(), parent, nullptr, thisModule(), this);
    if (window_ == nullptr) {
        --windows;
        unregisterClassIfUnused();
    }
}

Win32PlatformFrame::~Win32PlatformFrame() {
    textEdit_.reset();
    if (window_ != nullptr) {
        if (GetCapture() == window_) ReleaseCapture();
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
        --windows;
        unregisterClassIfUnused();
    }
    if (oleInitialised_) OleUninitialize();
}

LRESULT CALLBACK Win32PlatformFrame::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32PlatformFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    // Null before creation and after the frame let go of the window.
    auto* self = reinterpret_cast<Win32PlatformFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32PlatformFrame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            if (dc != nullptr && !IsRectEmpty(&ps.rcPaint)) paint(dc, ps.rcPaint);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT all;
            GetClientRect(window_, &all);
            paint(reinterpret_cast<HDC>(wParam), all);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE: {
            // Windows tells of the pointer leaving only when asked, once per entry.
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window_, 0};
            TrackMouseEvent(&track);
            // A press beside an open value field cancels it, as it does on
            // every other system: Windows moves no focus on a click in a
            // child window, so the field would stay open otherwise.
            if (isPress(message) && textEdit_ && GetFocus() == textEdit_->handle()) textEdit_->giveFocusBack();
            mouseEvent(message, wParam, lParam);
            return 0;
        }
        case WM_MOUSELEAVE: frame_.platformOnMouseExited(); return 0;
        case WM_CTLCOLOREDIT:
            if (textEdit_ && textEdit_->handle() == reinterpret_cast<HWND>(lParam))
                return reinterpret_cast<LRESULT>(textEdit_->colours(reinterpret_cast<HDC>(wParam)));
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_MOUSEWHEEL: {
            POINT where{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window_, &where);
            const float notches = float(GET_WHEEL_DELTA_WPARAM(wParam)) / float(WHEEL_DELTA);
            frame_.platformOnWheel({where.x, where.y}, notches, heldButtons(GET_KEYSTATE_WPARAM(wParam)));
            return 0;
        }
        case WM_CAPTURECHANGED:
            // Capture taken away (a host dialog, say): the drag ends here.
            if (reinterpret_cast<HWND>(lParam) != window_ && frame_.isMouseCaptured()) {
                POINT where;
                GetCursorPos(&where);
                ScreenToClient(window_, &where);
                frame_.platformOnMouseUp({where.x, where.y}, 0);
            }
            return 0;
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32PlatformFrame::mouseEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint where(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    CButtonState buttons = heldButtons(wParam);
    switch (message) {
        case WM_LBUTTONDBLCLK: buttons |= kLButton | kDoubleClick; [[fallthrough]];
        case WM_LBUTTONDOWN: frame_.platformOnMouseDown(where, (buttons & ~(kRButton | kMButton)) | kLButton); break;
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONDOWN: frame_.platformOnMouseDown(where, (buttons & ~(kLButton | kMButton)) | kRButton); break;
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONDOWN: frame_.platformOnMouseDown(where, (buttons & ~(kLButton | kRButton)) | kMButton); break;
        case WM_LBUTTONUP: frame_.platformOnMouseUp(where, buttons | kLButton); break;
        case WM_RBUTTONUP: frame_.platformOnMouseUp(where, buttons | kRButton); break;
        case WM_MBUTTONUP: frame_.platformOnMouseUp(where, buttons | kMButton); break;
        default: frame_.platformOnMouseMoved(where, buttons); break;
    }
}

void Win32PlatformFrame::paint(HDC target, const RECT& area) {
    const CRect update(area.left, area.top, area.right, area.bottom);
    if (update.isEmpty()) return;
    // Drawn into a back buffer of the update's size, then copied at once:
    // no flicker, and the host never sees a half-drawn frame.
    HDC buffer = win32objects::track(CreateCompatibleDC(target));
    HBITMAP pixels = win32objects::track(CreateCompatibleBitmap(target, update.width(), update.height()));
    if (buffer != nullptr && pixels != nullptr) {
        const HGDIOBJ previous = SelectObject(buffer, pixels);
        {
            GdiplusDrawContext context(buffer, {0, 0, update.width(), update.height()});
            context.setOffset({-update.left, -update.top});
            frame_.drawRect(&context, update);
        }
        BitBlt(target, update.left, update.top, update.width(), update.height(), buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, previous);
    }
    win32objects::deleteObject(pixels);
    win32objects::deleteDC(buffer);
}

void Win32PlatformFrame::invalidRect(const CRect& rect) {
    if (window_ == nullptr) return;
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(window_, &area, FALSE);
}

void Win32PlatformFrame::flush() {
    if (window_ != nullptr) UpdateWindow(window_);
}

void Win32PlatformFrame::setMouseCapture(bool captured) {
    if (window_ == nullptr) return;
    if (captured) {
        SetCapture(window_);
    } else if (GetCapture() == window_) {
        ReleaseCapture();
    }
}

void Win32PlatformFrame::setSize(const CRect& size) {
    if (window_ != nullptr)
        SetWindowPos(window_, nullptr, 0, 0, size.width(), size.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HMENU Win32PlatformFrame::buildMenu(COptionMenu& menu, std::vector<MenuChoice>& choices) {
    HMENU handle = CreatePopupMenu();
    if (handle == nullptr) return nullptr;
    for (int i = 0; i < menu.getNbEntries(); ++i) {
        const CMenuItem* item = menu.getEntry(i);
        if (item->isSeparator()) {
            AppendMenuW(handle, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring text = menuText(item->title);
        if (item->submenu) {
            HMENU sub = buildMenu(*item->submenu, choices);
            if (sub != nullptr) AppendMenuW(handle, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), text.c_str());
            continue;
        }
        choices.push_back({&menu, i});
        UINT flags = MF_STRING;
        if (item->isChecked()) flags |= MF_CHECKED;
        if (!item->isEnabled()) flags |= MF_GRAYED;
        // Command ids start at 1: TrackPopupMenu returns 0 for "nothing".
        AppendMenuW(handle, flags, UINT_PTR(choices.size()), text.c_str());
    }
    return handle;
}

PopupResult Win32PlatformFrame::popupMenu(COptionMenu& menu, const CPoint& where) {
    if (window_ == nullptr) return {};
    std::vector<MenuChoice> choices;
    HMENU handle = buildMenu(menu, choices);
    if (handle == nullptr) return {};
    POINT screen{where.x, where.y};
    ClientToScreen(window_, &screen);
    const UINT chosen = UINT(TrackPopupMenu(handle, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY |
                                                        TPM_RIGHTBUTTON,
                                            screen.x, screen.y, 0, window_, nullptr));
    // Destroys the submenus with it.
    DestroyMenu(handle);
    if (chosen == 0 || chosen > choices.size()) return {};
    return {choices[chosen - 1].menu, choices[chosen - 1].index};
}

std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow) {
    auto platform = std::make_unique<Win32PlatformFrame>(frame, static_cast<HWND>(parentWindow));
    if (!platform->isValid()) return nullptr;
    return platform;
}

bool Win32PlatformFrame::openTextEdit(const TextEditRequest& request) {
    textEdit_.reset();
    if (window_ == nullptr) return false;
    textEdit_ = std::make_unique<Win32TextEdit>(window_, request);
    if (!textEdit_->isValid()) textEdit_.reset();
    return textEdit_ != nullptr;
}

void Win32PlatformFrame::closeTextEdit() {
    textEdit_.reset();
}

}  // namespace tvx
