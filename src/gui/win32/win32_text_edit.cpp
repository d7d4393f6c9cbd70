#include "gui/win32/win32_text_edit.h"

#include "gui/win32/win32_object_count.h"

#include <string>

namespace tvx {

namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), length);
    return out;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

COLORREF colorRef(const CColor& color) { return RGB(color.red, color.green, color.blue); }

}  // namespace

Win32TextEdit::Win32TextEdit(HWND parent, const TextEditRequest& request) : request_(request) {
    const CRect& r = request.rect;
    edit_ = CreateWindowExW(0, L"EDIT", wide(request.text).c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                            int(r.left), int(r.top), int(r.width()), int(r.height()), parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (edit_ == nullptr) return;
    font_ = win32objects::track(CreateFontW(-int(request.font.size), 0, 0, 0,
                                            request.font.isBold() ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            CLEARTYPE_QUALITY, DEFAULT_PITCH, wide(request.font.name).c_str()));
    back_ = CreateSolidBrush(colorRef(request.backColor));
    if (font_ != nullptr) SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32TextEdit::editProc)));
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    focusBefore_ = GetFocus();
    SetFocus(edit_);
}

Win32TextEdit::~Win32TextEdit() {
    if (edit_ != nullptr) {
        // No focus handler may run for a field that is going away.
        finished_ = true;
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        SetWindowLongPtrW(edit_, GWLP_USERDATA, 0);
        const bool hadFocus = GetFocus() == edit_;
        if (hadFocus) giveFocusBack();
        DestroyWindow(edit_);
    }
    if (font_ != nullptr) win32objects::deleteObject(font_);
    if (back_ != nullptr) DeleteObject(back_);
}

HBRUSH Win32TextEdit::colours(HDC dc) const {
    SetTextColor(dc, colorRef(request_.fontColor));
    SetBkColor(dc, colorRef(request_.backColor));
    return back_;
}

void Win32TextEdit::giveFocusBack() {
    const HWND target = focusBefore_ != nullptr && IsWindow(focusBefore_) ? focusBefore_ : GetParent(edit_);
    SetFocus(target);
}

LRESULT CALLBACK Win32TextEdit::editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32TextEdit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32TextEdit::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTALLKEYS | CallWindowProcW(original_, edit_, message, wParam, lParam);
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                commit();
                return 0;
            }
            if (wParam == VK_ESCAPE) {
                finish(true);
                return 0;
            }
            break;
        case WM_CHAR:
            // Return and Escape were handled as keys; the control would beep.
            if (wParam == L'\r' || wParam == 0x1B) return 0;
            break;
        case WM_KILLFOCUS: finish(true); break;
        default: break;
    }
    return CallWindowProcW(original_, edit_, message, wParam, lParam);
}

void Win32TextEdit::commit() {
    if (finished_) return;
    const int length = GetWindowTextLengthW(edit_);
    std::wstring text(size_t(length) + 1, L'\0');
    GetWindowTextW(edit_, text.data(), length + 1);
    text.resize(size_t(length));
    std::string error;
    if (request_.commit && !request_.commit(utf8(text), error)) {
        // The reason, selected: the next key replaces it.
        SetWindowTextW(edit_, wide(error.empty() ? "?" : error).c_str());
        SendMessageW(edit_, EM_SETSEL, 0, -1);
        return;
    }
    finished_ = true;
}

void Win32TextEdit::finish(bool cancelled) {
    if (finished_) return;
    finished_ = true;
    if (cancelled && request_.cancel) request_.cancel();
}

}  // namespace tvx
