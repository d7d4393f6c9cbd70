#pragma once

#include "host/editor_places.h"

// Drives the plug-in's editor as a host does: a top-level window of the
// host's own, the editor opcodes, mouse messages to the editor's window,
// popup menus answered from a second thread, and pixels read back from the
// screen. Windows only (under wine with an X display).

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/midi_block.h"
#include "support/png_pixels.h"
#include "vsthost/editor_window.h"
#include "vsthost/plugin_host.h"

namespace tvx {

class EditorSession {
public:
    vsthost::PluginHost host;
    std::unique_ptr<vsthost::EditorWindow> window;
    AEffect* effect = nullptr;

    bool load() {
        std::string error;
        if (!host.load(TVX_PLUGIN_PATH, error)) {
            ADD_FAILURE() << error;
            return false;
        }
        effect = host.effect();
        host.start(44100.0, 512);
        return true;
    }

    ERect rect() {
        ERect* r = nullptr;
        host.dispatch(effEditGetRect, 0, 0, &r);
        return r ? *r : ERect{};
    }
    int width() { ERect r = rect(); return r.right - r.left; }
    int height() { ERect r = rect(); return r.bottom - r.top; }

    bool open() {
        std::string error;
        if (!window) window = vsthost::EditorWindow::create("editor test", width(), height(), error);
        if (!window) {
            ADD_FAILURE() << error;
            return false;
        }
        window->setClientSize(width(), height());
        const bool opened = host.dispatch(effEditOpen, 0, 0, window->nativeHandle()) == 1;
        idle(3);
        return opened;
    }
    void close() {
        host.dispatch(effEditClose);
        if (window) window->processMessages();
    }
    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) {
            host.dispatch(effEditIdle);
            if (window) window->waitForMessages(10);
        }
    }

    void setParameter(int index, float value) { effect->setParameter(effect, index, value); }
    float parameter(int index) { return effect->getParameter(effect, index); }
    void render(int blocks) {
        std::vector<float> l(512), r(512);
        float* out[2] = {l.data(), r.data()};
        for (int b = 0; b < blocks; ++b) effect->processReplacing(effect, nullptr, out, 512);
    }
    void note(int status, int key, int velocity) { MidiBlock().add(0, status, key, velocity).sendTo(host); }

    // The editor's own window at a client point of the host window.
    HWND viewAt(POINT& p) {
        HWND current = static_cast<HWND>(window->nativeHandle());
        for (;;) {
            HWND child = ChildWindowFromPointEx(current, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
            if (!child || child == current) return current;
            MapWindowPoints(current, child, &p, 1);
            current = child;
        }
    }
    void mouse(UINT message, int x, int y, WPARAM keys) {
        POINT p = {x, y};
        HWND view = viewAt(p);
        SendMessageW(view, message, keys, MAKELPARAM(p.x, p.y));
    }
    void drag(int x, int y, int dx, int dy) {
        mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        for (int i = 1; i <= 10; ++i) mouse(WM_MOUSEMOVE, x + dx * i / 10, y + dy * i / 10, MK_LBUTTON);
        mouse(WM_LBUTTONUP, x + dx, y + dy, 0);
        idle();
    }
    void click(int x, int y) {
        mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        mouse(WM_LBUTTONUP, x, y, 0);
        idle();
    }
    void doubleClick(int x, int y) {
        click(x, y);
        mouse(WM_LBUTTONDBLCLK, x, y, MK_LBUTTON);
        mouse(WM_LBUTTONUP, x, y, 0);
        idle();
    }

    // A right click that opens a popup menu; `keys` are posted to the menu
    // from a second thread (arrows and Return choose, Escape dismisses).
    // Returns whether a popup menu appeared.
    bool rightClickAndAnswer(int x, int y, const std::vector<WPARAM>& keys) {
        return clickAndAnswer(x, y, keys, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
    }
    // The same for controls whose menu the left button opens.
    bool leftClickAndAnswer(int x, int y, const std::vector<WPARAM>& keys) {
        return clickAndAnswer(x, y, keys, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    }
    bool clickAndAnswer(int x, int y, const std::vector<WPARAM>& keys, UINT down, UINT up, WPARAM held) {
        std::atomic<bool> seen{false}, done{false};
        std::thread answer([&] {
            for (int i = 0; i < 300 && !done; ++i) {
                HWND menu = FindWindowW(L"#32768", nullptr);
                if (menu && IsWindowVisible(menu)) {
                    seen = true;
                    Sleep(50);
                    for (WPARAM key : keys) {
                        PostMessageW(menu, WM_KEYDOWN, key, 0);
                        Sleep(30);
                    }
                    // Whatever the keys did, no menu stays open: EndMenu
                    // only reaches the calling thread's menus.
                    for (int k = 0; k < 5; ++k) {
                        Sleep(50);
                        HWND still = FindWindowW(L"#32768", nullptr);
                        if (!still || !IsWindowVisible(still)) return;
                        PostMessageW(still, WM_KEYDOWN, VK_ESCAPE, 0);
                    }
                    return;
                }
                Sleep(10);
            }
        });
        mouse(down, x, y, held);
        mouse(up, x, y, 0);
        done = true;
        answer.join();
        idle();
        return seen;
    }

    PngPixels capture(const char* name) {
        PngPixels png;
        std::string error;
        const std::string path = std::string(TVX_SCRATCH_DIR) + "/" + name + ".png";
        EXPECT_TRUE(window->capturePng(path, error)) << error;
        EXPECT_TRUE(readPng(path, png));
        return png;
    }
};

}  // namespace tvx
