// The Windows backend in real windows: a top-level host window holds the
// frame's child window; mouse input arrives as posted messages, pixels are
// read back from the host window's device context, and popup menus are
// answered with keys posted from another thread.
#include "gui/win32/win32_platform_frame.h"

#include "gui/c_anim_knob.h"
#include "gui/c_frame.h"
#include "gui/c_on_off_button.h"
#include "gui/c_option_menu.h"
#include "gui/c_text_label.h"
#include "gui/win32/gdi_image_context.h"
#include "gui/win32/gdiplus_session.h"
#include "gui/win32/win32_object_count.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tvx {

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

// One host window for the whole run: destroying a top-level window costs
// seconds under Wine without a window manager.
HWND hostWindow() {
    static HWND window = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"GuiTestHost";
        RegisterClassW(&windowClass);
        HWND created = CreateWindowExW(0, L"GuiTestHost", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                                       kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(created, SW_SHOW);
        return created;
    }();
    return window;
}

void pump(int milliseconds = 50) {
    const DWORD end = GetTickCount() + DWORD(milliseconds);
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    } while (GetTickCount() < end);
}

// What the screen shows of the host window.
struct Capture {
    Capture() : image(kWidth, kHeight) {
        HDC window = GetDC(hostWindow());
        BitBlt(image.deviceContext(), 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
        ReleaseDC(hostWindow(), window);
    }
    CColor at(int x, int y) { return image.pixelAt(x, y); }
    bool hasInk(const CRect& area, const CColor& ink) {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const CColor c = at(x, y);
                if (std::abs(c.red - ink.red) < 48 && std::abs(c.green - ink.green) < 48 &&
                    std::abs(c.blue - ink.blue) < 48)
                    return true;
            }
        return false;
    }
    GdiImageContext image;
};

SharedBitmap greyStrip(int frames, int side) {
    std::vector<uint32_t> pixels(size_t(side * side * frames));
    for (int k = 0; k < frames; ++k) {
        const uint32_t level = uint32_t(k * 2);
        for (int i = 0; i < side * side; ++i)
            pixels[size_t(k * side * side + i)] = 0xff000000u | (level << 16) | (level << 8) | level;
    }
    return std::make_shared<CBitmap>(side, side * frames, pixels);
}

HWND frameWindow(CFrame& frame) {
    return static_cast<HWND>(frame.getPlatformFrame()->getNativeHandle());
}

void post(HWND window, UINT message, WPARAM wParam, int x, int y) {
    PostMessageW(window, message, wParam, MAKELPARAM(x, y));
}

// A frame on the host window with a knob, a button, a label and a menu.
struct Editor {
    Editor() : frame(new CFrame({0, 0, kWidth, kHeight}, hostWindow(), nullptr)) {
        frame->setBackgroundColor({40, 40, 48, 255});
        knob = new CAnimKnob({20, 20, 68, 68}, &listener, 10, 101, 48, greyStrip(101, 48));
        knob->setDefaultValue(0.5f);
        button = new COnOffButton({100, 20, 156, 36}, &listener, 11,
                                  std::make_shared<CBitmap>(56, 32, twoStates()));
        label = new CTextLabel({20, 100, 220, 124}, "Filter Cutoff");
        label->setFont({"Trebuchet MS", 16, kBoldFace});
        label->setFontColor({255, 255, 255, 255});
        label->setBackColor({0, 0, 34, 255});
        menu = new COptionMenu({240, 100, 380, 124}, &listener, 12);
        menu->setBackColor({0, 0, 34, 255});
        menu->setFontColor({5, 190, 238, 255});
        menu->addEntry("Lowpass 24");
        menu->addSeparator();
        menu->addEntry("Highpass");
        auto* sub = new COptionMenu({}, nullptr, 13);
        sub->addEntry("100%");
        sub->addEntry("200%");
        menu->addEntry(sub, "Size");
        menu->checkEntry(2, true);
        for (CView* view : std::initializer_list<CView*>{knob, button, label, menu}) frame->addView(view);
        frame->idle();
        pump(30);
    }
    ~Editor() { delete frame; }

    static std::vector<uint32_t> twoStates() {
        std::vector<uint32_t> pixels(56 * 32, 0xff800000u);
        std::fill(pixels.begin() + 56 * 16, pixels.end(), 0xff00c000u);
        return pixels;
    }

    RecordingListener listener;
    CFrame* frame;
    CAnimKnob* knob;
    COnOffButton* button;
    CTextLabel* label;
    COptionMenu* menu;
};

// Answers the next popup menu with keys, from another thread while the
// UI thread sits in the menu's modal loop.
class MenuAnswerer {
public:
    explicit MenuAnswerer(std::vector<WPARAM> keys)
        : thread_([this, keys] {
              HWND menu = nullptr;
              for (int i = 0; i < 400 && menu == nullptr; ++i) {
                  menu = FindWindowW(L"#32768", nullptr);
                  if (menu == nullptr || !IsWindowVisible(menu)) {
                      menu = nullptr;
                      Sleep(10);
                  }
              }
              if (menu == nullptr) return;
              found = true;
              HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
              if (handle != nullptr) {
                  entries = GetMenuItemCount(handle);
                  thirdChecked = (GetMenuState(handle, 2, MF_BYPOSITION) & MF_CHECKED) != 0;
                  secondIsSeparator = (GetMenuState(handle, 1, MF_BYPOSITION) & MF_SEPARATOR) != 0;
              }
              for (WPARAM key : keys) {
                  Sleep(40);
                  // A submenu opens a window of its own; keys go to the newest.
                  HWND target = FindWindowW(L"#32768", nullptr);
                  PostMessageW(target != nullptr ? target : menu, WM_KEYDOWN, key, 0);
              }
          }) {}
    ~MenuAnswerer() { join(); }
    void join() {
        if (thread_.joinable()) thread_.join();
    }

    std::atomic<bool> found{false};
    std::atomic<int> entries{0};
    std::atomic<bool> thirdChecked{false};
    std::atomic<bool> secondIsSeparator{false};

private:
    std::thread thread_;
};

}  // namespace

TEST(Win32PlatformFrame, PaintsTheFrameIntoAChildOfTheHostWindow) {
    Editor editor;
    HWND child = frameWindow(*editor.frame);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(hostWindow(), GetParent(child));
    wchar_t className[128] = {};
    GetClassNameW(child, className, 128);
    EXPECT_STREQ(Win32PlatformFrame::windowClassName(), className);

    editor.knob->setValue(1.0f);  // frame 100: grey 200
    editor.button->setValue(1.0f);
    editor.frame->idle();
    pump(30);
    Capture screen;
    EXPECT_EQ(CColor(40, 40, 48, 255), screen.at(5, 5));
    EXPECT_EQ(CColor(200, 200, 200, 255), screen.at(44, 44));
    EXPECT_EQ(CColor(0, 192, 0, 255), screen.at(120, 28));
    EXPECT_EQ(CColor(0, 0, 34, 255), screen.at(21, 101));
    EXPECT_TRUE(screen.hasInk({20, 100, 220, 124}, kWhiteCColor));
    EXPECT_FALSE(screen.hasInk({20, 130, 220, 160}, kWhiteCColor));
    EXPECT_TRUE(screen.hasInk({240, 100, 380, 124}, {5, 190, 238, 255}));
    screen.image.writePng("gui_window_frame.png");

    // WM_PRINTCLIENT draws the same.
    GdiImageContext printed(kWidth, kHeight);
    SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.deviceContext()), PRF_CLIENT);
    EXPECT_EQ(CColor(200, 200, 200, 255), printed.pixelAt(44, 44));
}

TEST(Win32PlatformFrame, TextFallsBackToGdiWhenGdiplusHasNoFont) {
    GdiplusDrawContext::setForceGdiText(true);
    {
        Editor editor;
        editor.label->setText("Resonance");
        editor.frame->idle();
        pump(30);
        Capture screen;
        EXPECT_TRUE(screen.hasInk({20, 100, 220, 124}, kWhiteCColor));
        EXPECT_FALSE(screen.hasInk({0, 130, 220, 160}, kWhiteCColor));
    }
    GdiplusDrawContext::setForceGdiText(false);
}

TEST(Win32PlatformFrame, PostedMouseMessagesDragKnobsAndClickButtons) {
    Editor editor;
    HWND child = frameWindow(*editor.frame);
    editor.knob->setValue(0.2f);

    post(child, WM_LBUTTONDOWN, MK_LBUTTON, 44, 44);
    post(child, WM_MOUSEMOVE, MK_LBUTTON, 44, 24);
    post(child, WM_MOUSEMOVE, MK_LBUTTON, 44, -56);  // outside: the capture keeps it coming
    post(child, WM_LBUTTONUP, 0, 44, -56);
    pump();
    EXPECT_FLOAT_EQ(0.7f, editor.knob->getValue());
    EXPECT_EQ(1, editor.listener.begins);
    EXPECT_EQ(1, editor.listener.ends);
    EXPECT_EQ(nullptr, GetCapture());

    post(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 44, 44);
    post(child, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 44, 144);
    post(child, WM_LBUTTONUP, MK_SHIFT, 44, 144);
    pump();
    EXPECT_FLOAT_EQ(0.65f, editor.knob->getValue());

    POINT screen{44, 44};
    ClientToScreen(child, &screen);
    PostMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    pump();
    EXPECT_FLOAT_EQ(0.66f, editor.knob->getValue());

    post(child, WM_LBUTTONDBLCLK, MK_LBUTTON, 44, 44);
    post(child, WM_LBUTTONUP, 0, 44, 44);
    pump();
    EXPECT_FLOAT_EQ(0.5f, editor.knob->getValue());

    post(child, WM_LBUTTONDOWN, MK_LBUTTON, 110, 25);
    post(child, WM_LBUTTONUP, 0, 110, 25);
    pump();
    EXPECT_FLOAT_EQ(1.0f, editor.button->getValue());
    EXPECT_EQ(editor.button, editor.listener.changes.back());

    editor.frame->idle();
    pump(30);
    Capture after;
    EXPECT_EQ(CColor(100, 100, 100, 255), after.at(44, 44));  // frame 50
    EXPECT_EQ(CColor(0, 192, 0, 255), after.at(120, 28));
}

TEST(Win32PlatformFrame, PopupMenusShowSeparatorsAndChecksAndAnswerWithTheChosenEntry) {
    Editor editor;
    HWND child = frameWindow(*editor.frame);
    {
        // Down to "Lowpass 24", down past the separator to "Highpass", choose.
        MenuAnswerer answer({VK_DOWN, VK_DOWN, VK_RETURN});
        post(child, WM_LBUTTONDOWN, MK_LBUTTON, 300, 110);
        post(child, WM_LBUTTONUP, 0, 300, 110);
        pump(100);
        answer.join();
        ASSERT_TRUE(answer.found);
        EXPECT_EQ(4, answer.entries.load());
        EXPECT_TRUE(answer.secondIsSeparator);
        EXPECT_TRUE(answer.thirdChecked);
    }
    ASSERT_EQ(1u, editor.listener.changes.size());
    EXPECT_EQ(12, editor.listener.changes[0]->getTag());
    EXPECT_FLOAT_EQ(2.0f, editor.listener.values[0]);
    EXPECT_EQ("Highpass", editor.menu->getDisplayText());
    {
        // Up to "Size", into its submenu, down to "200%", choose.
        MenuAnswerer answer({VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN});
        post(child, WM_LBUTTONDOWN, MK_LBUTTON, 300, 110);
        post(child, WM_LBUTTONUP, 0, 300, 110);
        pump(100);
    }
    ASSERT_EQ(2u, editor.listener.changes.size());
    EXPECT_EQ(13, editor.listener.changes[1]->getTag());
    EXPECT_FLOAT_EQ(1.0f, editor.listener.values[1]);
    {
        MenuAnswerer answer({VK_ESCAPE, VK_ESCAPE});
        post(child, WM_LBUTTONDOWN, MK_LBUTTON, 300, 110);
        post(child, WM_LBUTTONUP, 0, 300, 110);
        pump(100);
    }
    EXPECT_EQ(2u, editor.listener.changes.size());
}

TEST(Win32PlatformFrame, HundredOpenCloseCyclesLeaveNothingBehind) {
    pump(10);
    const long gdi = win32objects::liveGdiObjects();
    const long gdiplus = win32objects::liveGdiplusObjects();
    const long sessions = GdiplusSession::liveSessions();
    for (int cycle = 0; cycle < 100; ++cycle) {
        Editor editor;
        editor.knob->setValue(float(cycle) / 100.0f);
        editor.frame->idle();
        pump(1);
        EXPECT_EQ(1, Win32PlatformFrame::liveWindows());
    }
    pump(10);
    EXPECT_EQ(gdi, win32objects::liveGdiObjects());
    EXPECT_EQ(gdiplus, win32objects::liveGdiplusObjects());
    EXPECT_EQ(sessions, GdiplusSession::liveSessions());
    EXPECT_EQ(0, Win32PlatformFrame::liveWindows());
    // The window class went with the last window.
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), Win32PlatformFrame::windowClassName(), &info));

    // Two editors at once share the class.
    Editor first;
    Editor second;
    EXPECT_EQ(2, Win32PlatformFrame::liveWindows());
    EXPECT_NE(frameWindow(*first.frame), frameWindow(*second.frame));
}

}  // namespace tvx
