// The editor window on Linux, against a private Xvfb: a real parent
// window, input through XTest, pixels read back from the server.
#ifndef _WIN32
// GoogleTest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include "gui/x11/x11_platform_frame.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "gui/c_control_listener.h"
#include "gui/c_frame.h"
#include "gui/c_option_menu.h"
#include "support/x11_test_display.h"

namespace tvx {

namespace {

constexpr int kParentX = 40;
constexpr int kParentY = 30;
const CColor kIdle(200, 40, 40);
const CColor kOn(40, 200, 40);

uint32_t rgb(const CColor& c) {
    return (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
}

// A control that shows its value as a colour and keeps every mouse and
// key event it receives.
class RecordingControl : public CControl {
public:
    using CControl::CControl;

    struct Press {
        CPoint where;
        CButtonState buttons;
    };

    void draw(CDrawContext* context) override { context->fillRect(size_, getValue() > 0.5f ? kOn : kIdle); }
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        downs.push_back({where, buttons});
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override {
        moves.push_back({where, buttons});
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override {
        ups.push_back({where, buttons});
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, float distance, const CButtonState&) override {
        wheel += distance;
        return true;
    }
    bool onKeyDown(const CKeyEvent& key) override {
        keys.push_back(key);
        return true;
    }

    std::vector<Press> downs, moves, ups;
    std::vector<CKeyEvent> keys;
    float wheel = 0;
};

struct ChoiceRecorder : CControlListener {
    void valueChanged(CControl* control) override { choices.emplace_back(control->getTag(), control->getValue()); }
    std::vector<std::pair<int32_t, float>> choices;
};

class X11PlatformFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new XvfbServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(server_->running()) << "Xvfb could not be started";
        client_ = std::make_unique<X11TestClient>();
        ASSERT_NE(client_->display(), nullptr);
        parent_ = client_->createParent(kParentX, kParentY, 320, 200);
    }
    void TearDown() override {
        frame_.reset();
        if (client_) XDestroyWindow(client_->display(), parent_);
    }

    void openFrame(int width, int height) {
        frame_ = std::make_unique<CFrame>(CRect(0, 0, width, height),
                                          reinterpret_cast<void*>(static_cast<uintptr_t>(parent_)), nullptr);
        control_ = new RecordingControl(CRect(20, 20, 120, 80));
        frame_->setBackgroundColor(CColor(10, 20, 30));
        frame_->addView(control_);
        frame_->idle();
    }
    bool pumpUntil(const std::function<bool()>& done) {
        return waitUntil(done, [this] { frame_->idle(); });
    }
    uint32_t screenPixel(int frameX, int frameY) { return client_->pixel(kParentX + frameX, kParentY + frameY); }

    static XvfbServer* server_;
    std::unique_ptr<X11TestClient> client_;
    Window parent_ = 0;
    std::unique_ptr<CFrame> frame_;
    RecordingControl* control_ = nullptr;
};

XvfbServer* X11PlatformFrameTest::server_ = nullptr;

TEST_F(X11PlatformFrameTest, TheFrameIsAChildWindowOfTheHostsWindowAndPaintsItsViews) {
    openFrame(300, 180);
    const std::vector<Window> children = client_->children(parent_);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(frame_->getPlatformFrame()->getNativeHandle()), children[0]);
    XWindowAttributes attributes{};
    XGetWindowAttributes(client_->display(), children[0], &attributes);
    EXPECT_EQ(attributes.width, 300);
    EXPECT_EQ(attributes.height, 180);
    EXPECT_EQ(attributes.map_state, IsViewable);

    EXPECT_TRUE(pumpUntil([&] { return screenPixel(60, 50) == rgb(kIdle); }));
    EXPECT_EQ(screenPixel(5, 5), 0x0A141Eu);
    // A value change repaints at the next idle, without an expose.
    control_->setValue(1.0f);
    EXPECT_TRUE(pumpUntil([&] { return screenPixel(60, 50) == rgb(kOn); }));
    // Hidden and shown again, the window is restored from its buffer.
    XUnmapWindow(client_->display(), parent_);
    XMapRaised(client_->display(), parent_);
    EXPECT_TRUE(pumpUntil([&] { return screenPixel(60, 50) == rgb(kOn) && screenPixel(200, 150) == 0x0A141Eu; }));
    client_->writePng(kParentX, kParentY, 300, 180, std::string(TVX_SCRATCH_DIR) + "/x11-frame-painted.png");
}

TEST_F(X11PlatformFrameTest, ButtonsDragsDoubleClicksWheelAndKeysReachTheControl) {
    openFrame(300, 180);
    const int x = kParentX + 50;
    const int y = kParentY + 40;
    client_->moveTo(x, y);
    client_->button(1, true);
    ASSERT_TRUE(pumpUntil([&] { return control_->downs.size() == 1; }));
    EXPECT_EQ(control_->downs[0].where, CPoint(50, 40));
    EXPECT_TRUE(control_->downs[0].buttons & kLButton);
    EXPECT_FALSE(control_->downs[0].buttons & kDoubleClick);
    // The drag goes on outside the window and outside the parent: the
    // pointer is grabbed until the button is released.
    client_->moveTo(x + 400, y + 300);
    ASSERT_TRUE(pumpUntil([&] { return !control_->moves.empty() && control_->moves.back().where == CPoint(450, 340); }));
    EXPECT_TRUE(control_->moves.back().buttons & kLButton);
    client_->button(1, false);
    ASSERT_TRUE(pumpUntil([&] { return control_->ups.size() == 1; }));
    EXPECT_EQ(control_->ups[0].where, CPoint(450, 340));

    // Two quick presses at one place: the second is a double-click.
    client_->click(1, x, y);
    client_->click(1, x, y);
    ASSERT_TRUE(pumpUntil([&] { return control_->downs.size() == 3; }));
    EXPECT_FALSE(control_->downs[1].buttons & kDoubleClick);
    EXPECT_TRUE(control_->downs[2].buttons & kDoubleClick);

    client_->click(3, x, y);
    ASSERT_TRUE(pumpUntil([&] { return control_->downs.size() == 4; }));
    EXPECT_TRUE(control_->downs[3].buttons & kRButton);
    EXPECT_FALSE(control_->downs[3].buttons & kLButton);

    client_->click(4, x, y);
    client_->click(4, x, y);
    client_->click(5, x, y);
    ASSERT_TRUE(pumpUntil([&] { return control_->wheel == 1.0f; }));
    EXPECT_EQ(control_->downs.size(), 4u) << "wheel buttons are no clicks";

    client_->key(XK_Up);
    client_->key(XK_a);
    ASSERT_TRUE(pumpUntil([&] { return control_->keys.size() == 2; }));
    EXPECT_EQ(control_->keys[0].virtualKey, kVirtualKeyUp);
    EXPECT_EQ(control_->keys[1].character, 'a');
}

TEST_F(X11PlatformFrameTest, OpenCloseCyclesLeaveNoWindowOrConnectionBehind) {
    openFrame(300, 180);
    frame_.reset();
    const int descriptors = openFileDescriptors();
    const size_t topLevels = client_->children(client_->root()).size();
    for (int cycle = 0; cycle < 100; ++cycle) {
        openFrame(300, 180);
        ASSERT_EQ(client_->children(parent_).size(), 1u);
        frame_.reset();
        ASSERT_TRUE(client_->children(parent_).empty()) << "cycle " << cycle;
    }
    EXPECT_EQ(openFileDescriptors(), descriptors) << "each frame's display connection is closed";
    EXPECT_EQ(client_->children(client_->root()).size(), topLevels);
}

TEST_F(X11PlatformFrameTest, AParentThatIsNoWindowLeavesTheFrameHeadless) {
    CFrame frame(CRect(0, 0, 100, 100), reinterpret_cast<void*>(uintptr_t(0x7ffffff)), nullptr);
    EXPECT_EQ(frame.getPlatformFrame(), nullptr);
    frame.idle();
    // The host destroyed its window before closing the editor.
    openFrame(300, 180);
    XDestroyWindow(client_->display(), parent_);
    XSync(client_->display(), False);
    frame_->idle();
    frame_.reset();
    parent_ = client_->createParent(kParentX, kParentY, 320, 200);
}

class X11PopupMenuTest : public X11PlatformFrameTest {
protected:
    void openMenu() {
        openFrame(300, 180);
        menu_ = new COptionMenu(CRect(150, 20, 280, 44), &listener_, 7);
        menu_->setFont(CFontDesc("Consolas", 14, kBoldFace));
        menu_->setFontColor(CColor(5, 190, 238));
        menu_->setBackColor(CColor(0, 0, 34));
        menu_->addEntry("Square");
        menu_->addEntry("Sawtooth");
        menu_->addSeparator();
        auto* sizes = new COptionMenu(CRect(), &listener_, 8);
        for (const char* size : {"100%", "125%", "150%"}) sizes->addEntry(size);
        sizes->checkEntry(1, true);
        menu_->addEntry(sizes, "Size");
        menu_->addEntry("About");
        frame_->addView(menu_);
        frame_->idle();
    }
    // The user acts from another thread while the menu's loop holds this one.
    void whenOpen(std::function<void(X11TestClient&)> act) {
        user_ = std::thread([this, act] {
            X11TestClient user;
            waitUntil([&] { return user.popups(parent_).size() == 1; });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            act(user);
        });
    }
    void type(X11TestClient& user, std::vector<KeySym> keys) {
        for (KeySym key : keys) {
            user.key(key);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    }
    static CRect placeOf(X11TestClient& user, Window window) {
        XWindowAttributes a{};
        XGetWindowAttributes(user.display(), window, &a);
        return CRect(a.x, a.y, a.x + a.width, a.y + a.height);
    }
    void clickMenu() {
        client_->click(1, kParentX + 200, kParentY + 30);
        frame_->idle();  // the press opens the menu, whose loop runs here
        if (user_.joinable()) user_.join();
    }
    void TearDown() override {
        if (user_.joinable()) user_.join();
        X11PlatformFrameTest::TearDown();
    }

    ChoiceRecorder listener_;
    COptionMenu* menu_ = nullptr;
    std::thread user_;
};

TEST_F(X11PopupMenuTest, AnEntryOfASubmenuIsChosenWithTheKeyboardInTheMenusColours) {
    openMenu();
    uint32_t menuBack = 0, highlight = 0;
    size_t levelsSeen = 0;
    whenOpen([&](X11TestClient& user) {
        // Down to "Sawtooth", over the separator to "Size", into it, down twice to "150%".
        type(user, {XK_Down, XK_Down, XK_Down, XK_Right, XK_Down});
        waitUntil([&] { return user.popups(parent_).size() == 2; });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        levelsSeen = user.popups(parent_).size();
        const CRect first = placeOf(user, user.popups(parent_).front());
        user.writePng(first.left - 10, first.top - 10, 360, 200, std::string(TVX_SCRATCH_DIR) + "/x11-frame-menu-open.png");
        menuBack = user.pixel(first.left + 4, first.top + 4);
        highlight = user.pixel(first.left + 4, first.top + 1 + 22 + 22 + 8 + 4);  // "Size", lit
        type(user, {XK_Down, XK_Return});
    });
    clickMenu();
    EXPECT_EQ(levelsSeen, 2u);
    EXPECT_EQ(menuBack, 0x000022u) << "the menu's back colour";
    EXPECT_EQ(highlight, 0x05BEEEu) << "the open entry is lit in the menu's text colour";
    ASSERT_EQ(listener_.choices.size(), 1u);
    EXPECT_EQ(listener_.choices[0], std::make_pair(int32_t(8), 2.0f));
    EXPECT_TRUE(client_->popups(parent_).empty()) << "every menu level is closed";
}

TEST_F(X11PopupMenuTest, EscapeClosesALevelAndAClickOutsideClosesTheMenuWithoutAChoice) {
    openMenu();
    size_t afterEscape = 0;
    whenOpen([&](X11TestClient& user) {
        type(user, {XK_Down, XK_Down, XK_Down, XK_Return});
        waitUntil([&] { return user.popups(parent_).size() == 2; });
        type(user, {XK_Escape});
        waitUntil([&] { return user.popups(parent_).size() == 1; });
        afterEscape = user.popups(parent_).size();
        user.click(1, 1200, 900);
    });
    clickMenu();
    EXPECT_EQ(afterEscape, 1u);
    EXPECT_TRUE(listener_.choices.empty());
    EXPECT_TRUE(client_->popups(parent_).empty());
    // The editor works on as before.
    client_->click(1, kParentX + 50, kParentY + 40);
    EXPECT_TRUE(pumpUntil([&] { return control_->downs.size() == 1; }));
}

TEST_F(X11PopupMenuTest, ASubmenuOpensUnderThePointerAndAClickChooses) {
    openMenu();
    whenOpen([&](X11TestClient& user) {
        const CRect first = placeOf(user, user.popups(parent_).front());
        user.moveTo(first.left + 30, first.top + 1 + 22 + 22 + 8 + 11);  // over "Size"
        waitUntil([&] { return user.popups(parent_).size() == 2; });
        Window second = 0;
        for (Window w : user.popups(parent_))
            if (placeOf(user, w).left != first.left) second = w;
        const CRect sub = placeOf(user, second);
        user.moveTo(sub.left + 20, sub.top + 12);  // "100%"
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        user.button(1, true);
        user.button(1, false);
    });
    clickMenu();
    ASSERT_EQ(listener_.choices.size(), 1u);
    EXPECT_EQ(listener_.choices[0], std::make_pair(int32_t(8), 0.0f));
}

}  // namespace

}  // namespace tvx

#endif
