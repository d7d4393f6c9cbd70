// The editor of the built .so in a real X11 window, driven as a Linux host
// and a musician would: the host's top-level window as parent, pointer and
// keys through XTest on a private Xvfb, pixels read back from the server.
#ifndef _WIN32
// GoogleTest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gui/c_rect.h"
// Also lets go of cairo's font caches at the end, for the leak checker.
#include "gui/test_image_context.h"
#include "host/editor_places.h"
#include "host/midi_block.h"
#include "params/parameter_id.h"
#include "support/x11_editor_fixture.h"

namespace tvx {

namespace {

using namespace editor_places;

constexpr int MainMenuBankCommand = 1052;
constexpr int ModTargetCommand = 1022;

class X11EditorTest : public X11EditorFixture {
protected:
    std::string programName() {
        char name[64] = {};
        host_.dispatch(effGetProgramName, 0, 0, name);
        return name;
    }
    // Loads the plug-in anew with its home folder in `home`.
    void reloadWithHome(const std::string& home) {
        close();
        window_.reset();
        host_.unload();
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        std::string error;
        ASSERT_TRUE(host_.load(TVX_PLUGIN_PATH, error)) << error;
        host_.start(44100.0, 512);
    }
};

TEST_F(X11EditorTest, TheEditorIsAChildOfTheHostWindowWithTitleBarsDividersAndVoiceLights) {
    EXPECT_EQ(width(), 1056);
    EXPECT_EQ(height(), 624);
    ASSERT_TRUE(open());
    const std::vector<Window> children = user_->children(hostWindow());
    ASSERT_EQ(children.size(), 1u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(user_->display(), children[0], &attributes);
    EXPECT_EQ(attributes.width, 1056);
    EXPECT_EQ(attributes.height, 624);
    ASSERT_TRUE(idleUntil([&] { return pixel(kVoiceLightX, kVoiceLightY) == kBlack; }));
    screenshot("editor");
    // headerColor 0 100 106 at alpha 136 over what lies below the bar.
    // The opaque default backgroundColor hides the background image.
    EXPECT_TRUE(closeTo(pixel(300, 42), 0xA0A0A0, 2)) << std::hex << pixel(300, 42);
    EXPECT_TRUE(closeTo(pixel(300, 50), blend(0x00646A, 136, pixel(300, 42)), 12)) << std::hex << pixel(300, 50);
    EXPECT_TRUE(closeTo(pixel(224, 120), blend(0x808080, 136, pixel(229, 120)), 12)) << std::hex << pixel(224, 120);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(pixel(kVoiceLightX + 8 * k, kVoiceLightY), kBlack) << k;

    MidiBlock().add(0, 0x90, 60, 100).sendTo(host_);
    render(2);
    EXPECT_TRUE(idleUntil([&] { return pixel(kVoiceLightX, kVoiceLightY) == kGreen; }));
    EXPECT_EQ(pixel(kVoiceLightX + 8, kVoiceLightY), kBlack);
    MidiBlock().add(0, 0x80, 60, 0).sendTo(host_);
    render(20);  // well past the release
    EXPECT_TRUE(idleUntil([&] { return pixel(kVoiceLightX, kVoiceLightY) == kBlack; }));
}

TEST_F(X11EditorTest, DraggingAKnobChangesItsParameterAndADoubleClickRestoresIt) {
    ASSERT_TRUE(open());
    ASSERT_FLOAT_EQ(parameter(Flt1Cut), 1.0f);
    host_.state().automations.clear();
    user_->moveTo(kCutKnobX, kCutKnobY);
    user_->button(1, true);
    for (int step = 1; step <= 10; ++step) {
        user_->moveTo(kCutKnobX, kCutKnobY + 6 * step);
        idle();
    }
    user_->button(1, false);
    EXPECT_TRUE(idleUntil([&] { return parameter(Flt1Cut) < 0.9f; }));
    idle(2);
    ASSERT_FALSE(host_.state().automations.empty());
    EXPECT_EQ(host_.state().automations.back().first, Flt1Cut);

    user_->click(1, kCutKnobX, kCutKnobY);
    user_->click(1, kCutKnobX, kCutKnobY);
    EXPECT_TRUE(idleUntil([&] { return parameter(Flt1Cut) == 1.0f; }));
}

TEST_F(X11EditorTest, ATitleBarContextMenuCopiesOneOscillatorIntoAnotherByKeyboard) {
    ASSERT_TRUE(open());
    setParameter(Osc1Pos, 0.125f);
    setParameter(Osc1Semi, 0.75f);
    EXPECT_TRUE(rightClickAndType(100, kOsc1TitleY, {XK_Down, XK_Return}));  // "Copy"
    EXPECT_TRUE(rightClickAndType(100, kOsc2TitleY, {XK_Down, XK_Down, XK_Return}));  // "Paste"
    EXPECT_FLOAT_EQ(parameter(Osc2Pos), 0.125f);
    EXPECT_FLOAT_EQ(parameter(Osc2Semi), 0.75f);
    EXPECT_TRUE(user_->popups(hostWindow()).empty());
}

TEST_F(X11EditorTest, TheMainMenusSizeEntryMakesTheNextOpeningLarger) {
    ASSERT_TRUE(open());
    // Save, Load, Init, Size, then 100 %, 125 %, 150 %.
    EXPECT_TRUE(rightClickAndType(300, 20, {XK_Down, XK_Down, XK_Down, XK_Down, XK_Right, XK_Down, XK_Down,
                                            XK_Return},
                                  "main-menu"));
    close();
    EXPECT_EQ(width(), 1584);
    EXPECT_EQ(height(), 936);
    ASSERT_TRUE(open());
    XWindowAttributes attributes{};
    XGetWindowAttributes(user_->display(), user_->children(hostWindow()).at(0), &attributes);
    EXPECT_EQ(attributes.width, 1584);
    EXPECT_EQ(attributes.height, 936);
    idle(3);
    screenshot("size-150");
    close();
    setParameter(kSizeCommand, 0.0f);
}

TEST_F(X11EditorTest, TheControllerMenuOf121EntriesStaysOnTheScreen) {
    ASSERT_TRUE(open());
    std::vector<CRect> levels;
    std::thread user([&] {
        X11TestClient typing;
        waitUntil([&] { return !typing.popups(hostWindow()).empty(); });
        // Down to "Settings", into it ("Mod CC 1"), into that.
        for (KeySym key : {XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Right, XK_Right}) {
            typing.key(key);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        waitUntil([&] { return typing.popups(hostWindow()).size() == 3; });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (Window w : typing.popups(hostWindow())) {
            XWindowAttributes a{};
            XGetWindowAttributes(typing.display(), w, &a);
            levels.emplace_back(a.x, a.y, a.x + a.width, a.y + a.height);
        }
        typing.writePng(0, 0, 1700, 1000, std::string(TVX_SCRATCH_DIR) + "/x11-controller-menu.png");
        for (KeySym key : {XK_Escape, XK_Escape, XK_Escape}) {
            typing.key(key);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    });
    user_->moveTo(300, 20);
    user_->button(3, true);
    user_->button(3, false);
    idle(3);
    user.join();
    ASSERT_EQ(levels.size(), 3u);
    for (const CRect& level : levels) {
        EXPECT_GE(level.left, 0);
        EXPECT_GE(level.top, 0);
        EXPECT_LE(level.right, 1700);
        EXPECT_LE(level.bottom, 1000);
    }
    EXPECT_TRUE(user_->popups(hostWindow()).empty()) << "three Escapes close the three levels";
}

TEST_F(X11EditorTest, ClosingOnTheSeqPageReopensOnIt) {
    ASSERT_TRUE(open());
    idle(3);
    const uint32_t mainPage = pixel(234, 507);
    user_->click(1, 32, 600);  // the "SEQ" tab
    ASSERT_TRUE(idleUntil([&] { return pixel(234, 507) != mainPage; }));
    idle(3);  // the whole page, not the first of its areas
    const uint32_t seqPage = pixel(234, 507);
    close();
    ASSERT_TRUE(open());
    EXPECT_TRUE(idleUntil([&] { return pixel(234, 507) == seqPage; }));
}

TEST_F(X11EditorTest, WithoutADialogProgramThePresetFieldSaysWhatToInstall) {
    ASSERT_TRUE(open());  // the test's PATH has neither zenity nor kdialog
    idle(3);
    auto nameField = [&] {
        std::vector<uint32_t> area;
        for (int y = 14; y < 32; y += 2)
            for (int x = 412; x < 644; x += 2) area.push_back(pixel(x, y));
        return area;
    };
    const std::vector<uint32_t> before = nameField();
    EXPECT_TRUE(rightClickAndType(300, 20, {XK_Down, XK_Down, XK_Return}));  // "Load Preset"
    EXPECT_TRUE(idleUntil([&] { return nameField() != before; }));
    screenshot("no-dialog");
}

TEST_F(X11EditorTest, OpenCloseCyclesLeaveNoWindowOrConnectionBehind) {
    ASSERT_TRUE(open());
    close();
    const int descriptors = openFileDescriptors();
    for (int cycle = 0; cycle < 20; ++cycle) {
        ASSERT_TRUE(open());
        ASSERT_EQ(user_->children(hostWindow()).size(), 1u);
        close();
        ASSERT_TRUE(user_->children(hostWindow()).empty()) << "cycle " << cycle;
    }
    EXPECT_EQ(openFileDescriptors(), descriptors);
    // Hosts that close twice or idle a closed editor are harmless.
    close();
    host_.dispatch(effEditClose);
    host_.dispatch(effEditIdle);
}

// Banks and presets made in shuffled order; each preset's Osc1Pos tells
// which file was loaded.
void writePresets(const std::filesystem::path& presets) {
    const char* banks[][3] = {{"zeta", "z2", "Z1"}, {"Alpha", "c3", "A1"}, {"beta", "b2", "A1"}};
    float position = 0.1f;
    for (const auto& bank : banks) {
        for (int p = 1; p < 3; ++p) {
            std::filesystem::create_directories(presets / bank[0]);
            std::ofstream(presets / bank[0] / (std::string(bank[p]) + ".prs")) << "Osc1Pos=" << position << "\r\n";
            position += 0.1f;
        }
    }
}

TEST_F(X11EditorTest, ANewUserReachesEveryBankFromThePresetNameAndTheArrows) {
    const std::filesystem::path home = std::filesystem::path(TVX_SCRATCH_DIR) / "x11-banks-home";
    std::filesystem::remove_all(home);
    writePresets(home / "Morrowfen Software" / "Tessaravox" / "Presets");
    const char* previousHome = std::getenv("XDG_DATA_HOME");
    const std::string savedHome = previousHome ? previousHome : "";
    reloadWithHome(home.string());
    ASSERT_TRUE(open());
    // The Default bank is empty: ">" goes to the first bank by name
    // ("Alpha", not "beta" or "zeta"), at its first preset by name.
    user_->click(1, 656, 23);
    EXPECT_TRUE(idleUntil([&] { return programName() == "A1"; })) << programName();
    user_->click(1, 400, 23);
    EXPECT_TRUE(idleUntil([&] { return programName() == "c3"; })) << programName();

    setParameter(MainMenuBankCommand, 0.0f);  // back to the empty Default bank
    // Preset list: a separator, then Default, Alpha, beta, zeta; into
    // "beta", its second preset.
    EXPECT_TRUE(clickAndType(1, 528, 23, {XK_Down, XK_Down, XK_Down, XK_Right, XK_Down, XK_Return}, "preset-banks"));
    EXPECT_TRUE(idleUntil([&] { return programName() == "b2"; })) << programName();
    EXPECT_NEAR(parameter(Osc1Pos), 0.5f, 1e-6f);
    // The sound now belongs to "beta": "<" steps back inside it.
    user_->click(1, 400, 23);
    EXPECT_TRUE(idleUntil([&] { return programName() == "A1"; })) << programName();
    EXPECT_NEAR(parameter(Osc1Pos), 0.6f, 1e-6f);
    screenshot("preset-arrows");
    close();
    if (previousHome) setenv("XDG_DATA_HOME", savedHome.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}

TEST_F(X11EditorTest, AGroupedTargetSendsTheFlatMenuPositionOfItsEntry) {
    ASSERT_TRUE(open());
    user_->click(1, 32, 552);  // the "MOD" tab
    idle(3);
    // Slot 3's target: "--", Global, Osc 1, Osc 2; inside: Tune, Semi, Fine, Pos.
    EXPECT_TRUE(clickAndType(1, 370, 564, {XK_Down, XK_Down, XK_Down, XK_Down, XK_Right, XK_Down, XK_Down, XK_Down,
                                           XK_Return},
                             "target-menu"));
    const float grouped = parameter(Mod3Target);
    EXPECT_NE(grouped, 0.0f);
    setParameter(Mod3Target, 0.0f);
    setParameter(ModTargetCommand + 2, 23.0f);  // the flat entry "Osc 2 Pos"
    EXPECT_EQ(parameter(Mod3Target), grouped);
}

TEST_F(X11EditorTest, ASwitchedOffOscillatorIsVeiledUntilItIsSwitchedOn) {
    setParameter(Osc2Type, 0.0f);
    ASSERT_TRUE(open());
    idle(3);
    // The centre of each oscillator's "Fine" knob, one row apart.
    const int x = 40, oscillator1Y = 96, oscillator2Y = 240;
    EXPECT_TRUE(idleUntil([&] { return pixel(x, oscillator2Y) != pixel(x, oscillator1Y); }));
    screenshot("osc2-off");
    setParameter(Osc2Type, 1.0f);
    EXPECT_TRUE(idleUntil([&] { return pixel(x, oscillator2Y) == pixel(x, oscillator1Y); }))
        << std::hex << pixel(x, oscillator2Y) << " " << pixel(x, oscillator1Y);
}

TEST_F(X11EditorTest, RestingOnTheHeaderOrATitleBarNamesTheRightButtonsMenu) {
    ASSERT_TRUE(open());
    auto hintArea = [&] {
        std::vector<uint32_t> area;
        for (int y = 14; y < 34; y += 2)
            for (int x = 182; x < 388; x += 2) area.push_back(pixel(x, y));
        return area;
    };
    user_->moveTo(600, 300);  // over a knob: no hint
    idle(3);
    const std::vector<uint32_t> empty = hintArea();
    user_->moveTo(700, 30);
    EXPECT_TRUE(idleUntil([&] { return hintArea() != empty; }));
    idle(2);
    screenshot("hint-header");
    const std::vector<uint32_t> header = hintArea();
    user_->moveTo(100, kOsc1TitleY);
    EXPECT_TRUE(idleUntil([&] { return hintArea() != header && hintArea() != empty; }));
    screenshot("hint-title-bar");
    // A left click there still opens nothing.
    user_->click(1, 100, kOsc1TitleY);
    idle(3);
    EXPECT_TRUE(user_->popups(hostWindow()).empty());
    user_->moveTo(600, 300);
    EXPECT_TRUE(idleUntil([&] { return hintArea() == empty; }));
    // Leaving the window takes the hint along.
    user_->moveTo(700, 30);
    EXPECT_TRUE(idleUntil([&] { return hintArea() == header; }));
    user_->moveTo(1300, 800);
    EXPECT_TRUE(idleUntil([&] { return hintArea() == empty; }));
}

}  // namespace

}  // namespace tvx

#endif
