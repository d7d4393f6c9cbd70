#pragma once
// The built .so's editor in a real X11 window on a private Xvfb, as a Linux
// host shows it: the host's top-level window as parent, the editor opcodes,
// pointer and keys through XTest, pixels read back from the server. The
// plug-in lives inside a desktop of the test's own from load to unload.
#ifndef _WIN32
// GoogleTest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/desktop_scope.h"
#include "support/x11_test_display.h"
#include "vsthost/editor_window.h"
#include "vsthost/plugin_host.h"

namespace tvx {

class X11EditorFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new XvfbServer(1700, 1000); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(server_->running()) << "Xvfb could not be started";
        user_ = std::make_unique<X11TestClient>();
        ASSERT_NE(user_->display(), nullptr) << "no connection to " << server_->name();
        std::string error;
        ASSERT_TRUE(host_.load(TVX_PLUGIN_PATH, error)) << error;
        host_.start(44100.0, 512);
    }
    void TearDown() override {
        close();
        window_.reset();
        host_.unload();
    }

    ERect rect() {
        ERect* r = nullptr;
        host_.dispatch(effEditGetRect, 0, 0, &r);
        return r != nullptr ? *r : ERect{};
    }
    int width() { return rect().right - rect().left; }
    int height() { return rect().bottom - rect().top; }
    bool open() {
        std::string error;
        if (!window_) window_ = vsthost::EditorWindow::create("x11 editor test", width(), height(), error);
        if (!window_) {
            ADD_FAILURE() << error;
            return false;
        }
        window_->setClientSize(width(), height());
        open_ = host_.dispatch(effEditOpen, 0, 0, window_->nativeHandle()) == 1;
        idle(3);
        return open_;
    }
    void close() {
        if (open_) host_.dispatch(effEditClose);
        open_ = false;
    }
    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) {
            host_.dispatch(effEditIdle);
            window_->waitForMessages(5);
        }
    }
    // Idles, as a host does, until the condition holds.
    bool idleUntil(const std::function<bool()>& done) {
        return waitUntil(done, [this] { idle(); });
    }
    Window hostWindow() const { return Window(reinterpret_cast<uintptr_t>(window_->nativeHandle())); }
    uint32_t pixel(int x, int y) { return user_->pixel(x, y); }
    // Every second pixel of a screen area, to compare before and after.
    std::vector<uint32_t> area(int left, int top, int right, int bottom) {
        std::vector<uint32_t> pixels;
        for (int y = top; y < bottom; y += 2)
            for (int x = left; x < right; x += 2) pixels.push_back(user_->pixel(x, y));
        return pixels;
    }
    float parameter(int index) { return host_.effect()->getParameter(host_.effect(), index); }
    void setParameter(int index, float value) { host_.effect()->setParameter(host_.effect(), index, value); }
    void render(int blocks) {
        std::vector<float> left(512), right(512);
        float* out[2] = {left.data(), right.data()};
        for (int b = 0; b < blocks; ++b) host_.effect()->processReplacing(host_.effect(), nullptr, out, 512);
    }
    void screenshot(const std::string& name) {
        user_->writePng(0, 0, width(), height(), std::string(TVX_SCRATCH_DIR) + "/x11-" + name + ".png");
    }
    // Keys typed into whatever has the keyboard, idling after each.
    void type(const std::vector<KeySym>& keys) {
        for (KeySym key : keys) {
            user_->key(key);
            idle();
        }
        idle(2);
    }

    // A right click that opens a popup menu, answered by keys typed from
    // another thread while the menu's loop holds this one. Returns whether
    // a menu appeared.
    bool rightClickAndType(int x, int y, const std::vector<KeySym>& keys, const std::string& screenshotName = "") {
        return clickAndType(3, x, y, keys, screenshotName);
    }
    bool clickAndType(int button, int x, int y, const std::vector<KeySym>& keys, const std::string& screenshotName = "") {
        std::atomic<bool> seen{false};
        std::thread typist([&] {
            X11TestClient typing;
            if (!waitUntil([&] { return !typing.popups(hostWindow()).empty(); })) return;
            seen = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (size_t i = 0; i < keys.size(); ++i) {
                // The menu as it looks before the last key.
                if (i + 1 == keys.size() && !screenshotName.empty()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    typing.writePng(0, 0, 1056, 700, std::string(TVX_SCRATCH_DIR) + "/x11-" + screenshotName + ".png");
                }
                typing.key(keys[i]);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        });
        user_->moveTo(x, y);
        user_->button(button, true);
        user_->button(button, false);
        idle(3);  // the press opens the menu and its loop runs in here
        typist.join();
        idle(2);
        return seen;
    }

    static inline XvfbServer* server_ = nullptr;
    // The plug-in finds no dialog program, file opener or settings of the
    // machine's user.
    DesktopScope desktop_;
    std::unique_ptr<X11TestClient> user_;
    vsthost::PluginHost host_;
    std::unique_ptr<vsthost::EditorWindow> window_;
    bool open_ = false;
};

}  // namespace tvx

#endif
