// The editor of the built DLL in a real window, driven as a host and a
// musician would: sizes, pixels, mouse gestures, menus, robustness.
// Needs an X display under wine (the test runner starts its own Xvfb).

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "host/editor_session.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

using namespace editor_places;

std::wstring homeFolder() {
    wchar_t base[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base);
    return std::wstring(base) + L"\\Morrowfen Software\\Tessaravox";
}

// Puts a theme and the settings that choose it in the plug-in's home folder
// for the life of the object, and restores the settings afterwards.
class ThemeInstaller {
public:
    ThemeInstaller(const std::string& themeText, int scale) : settings_(homeFolder() + L"\\Settings.txt") {
        std::ifstream old(std::filesystem::path(settings_), std::ios::binary);
        hadSettings_ = static_cast<bool>(old);
        if (hadSettings_) saved_.assign(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>());
        const std::wstring folder = homeFolder() + L"\\Themes\\EditorTest";
        CreateDirectoryW((homeFolder() + L"\\Themes").c_str(), nullptr);
        CreateDirectoryW(folder.c_str(), nullptr);
        std::ofstream(std::filesystem::path(folder + L"\\Theme.txt"), std::ios::binary) << themeText;
        std::ofstream(std::filesystem::path(settings_), std::ios::binary) << "scale=" << scale << "\r\ntheme=EditorTest\r\n";
    }
    ~ThemeInstaller() {
        if (hadSettings_) std::ofstream(std::filesystem::path(settings_), std::ios::binary) << saved_;
        else DeleteFileW(settings_.c_str());
    }

private:
    std::wstring settings_;
    bool hadSettings_ = false;
    std::string saved_;
};

class EditorDisplay : public ::testing::Test {
protected:
    EditorSession s;
    void SetUp() override { ASSERT_TRUE(s.load()); }
    void TearDown() override { s.close(); }
};

TEST_F(EditorDisplay, WindowSizeFollowsTheSizeSettingAtTheNextOpening) {
    const struct {
        int scale, width, height;
    } sizes[] = {{0, 1056, 624}, {1, 1320, 780}, {2, 1584, 936}, {3, 1848, 1092}, {4, 2112, 1248}, {9, 1056, 624}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.scale);
        s.setParameter(kSizeCommand, static_cast<float>(size.scale));
        EXPECT_EQ(s.width(), size.width);
        EXPECT_EQ(s.height(), size.height);
        ASSERT_TRUE(s.open());
        EXPECT_EQ(s.width(), size.width);  // the same while open
        PngPixels png = s.capture("size");
        EXPECT_EQ(png.width, size.width);
        // The editor fills the window to its far corner (unpainted parts
        // of a window read back black).
        EXPECT_NE(png.at(size.width - 2, size.height - 2), 0x000000u);
        EXPECT_NE(png.at(size.width - 2, size.height / 2), 0x000000u);
        s.close();
    }
    s.setParameter(kSizeCommand, 0.0f);
}

TEST_F(EditorDisplay, TitleBarsDividersAndVoiceLightsHaveTheirColours) {
    ASSERT_TRUE(s.open());
    PngPixels png = s.capture("colours");
    // headerColor 0 100 106 at alpha 136 over the opaque default
    // backgroundColor, which hides the background image.
    const uint32_t below = png.at(300, 42);
    EXPECT_TRUE(closeTo(below, 0xA0A0A0, 2)) << std::hex << below;
    EXPECT_TRUE(closeTo(png.at(300, 50), blend(0x00646A, 136, below), 12)) << std::hex << png.at(300, 50);
    // The oscillator's inner divider in divider2Color.
    EXPECT_TRUE(closeTo(png.at(224, 120), blend(0x808080, 136, png.at(229, 120)), 12)) << std::hex << png.at(224, 120);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(png.at(kVoiceLightX + 8 * k, kVoiceLightY), kBlack) << k;

    s.note(0x90, 60, 100);
    s.render(2);
    s.idle();
    png = s.capture("voice-on");
    EXPECT_EQ(png.at(kVoiceLightX, kVoiceLightY), kGreen);
    EXPECT_EQ(png.at(kVoiceLightX + 8, kVoiceLightY), kBlack);

    s.note(0x80, 60, 0);
    s.render(20);  // well past the release
    s.idle();
    png = s.capture("voice-off");
    EXPECT_EQ(png.at(kVoiceLightX, kVoiceLightY), kBlack);
}

TEST(EditorDisplayTheme, MarginsAndColoursComeFromTheTheme) {
    ThemeInstaller theme(
        "sideMargin=2\r\ntopMargin=1\r\nvoiceOnColor=255 0 255 255\r\nvoiceOffColor=0 0 255 255\r\n"
        "backgroundColor=40 40 48 255\r\n",
        0);
    EditorSession s;
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.width(), 1088);
    EXPECT_EQ(s.height(), 632);
    ASSERT_TRUE(s.open());
    PngPixels png = s.capture("theme");
    EXPECT_EQ(png.at(4, 300), 0x282830u);  // the margin shows the background colour
    EXPECT_EQ(png.at(kVoiceLightX + 16, kVoiceLightY + 8), 0x0000FFu);
    s.note(0x90, 64, 100);
    s.render(2);
    s.idle();
    png = s.capture("theme-on");
    EXPECT_EQ(png.at(kVoiceLightX + 16, kVoiceLightY + 8), 0xFF00FFu);
    s.close();
}

TEST_F(EditorDisplay, DraggingAKnobChangesItsParameterAndDoubleClickRestoresIt) {
    ASSERT_TRUE(s.open());
    ASSERT_FLOAT_EQ(s.parameter(Flt1Cut), 1.0f);
    s.host.state().automations.clear();
    s.drag(kCutKnobX, kCutKnobY, 0, 60);
    EXPECT_LT(s.parameter(Flt1Cut), 0.9f);
    ASSERT_FALSE(s.host.state().automations.empty());
    EXPECT_EQ(s.host.state().automations.back().first, Flt1Cut);
    s.doubleClick(kCutKnobX, kCutKnobY);
    EXPECT_FLOAT_EQ(s.parameter(Flt1Cut), 1.0f);
}

TEST_F(EditorDisplay, AHeldCutoffKnobShowsItsValueInItsCaption) {
    ASSERT_TRUE(s.open());
    auto caption = [&](const char* name) {
        PngPixels png = s.capture(name);
        std::vector<uint32_t> area;
        for (int y = 120; y < 136; ++y)
            for (int x = 380; x < 436; ++x) area.push_back(png.at(x, y));
        return area;
    };
    const auto resting = caption("caption-rest");
    s.mouse(WM_LBUTTONDOWN, kCutKnobX, kCutKnobY, MK_LBUTTON);
    s.mouse(WM_MOUSEMOVE, kCutKnobX, kCutKnobY + 20, MK_LBUTTON);
    s.idle(2);
    EXPECT_NE(caption("caption-held"), resting);
    s.mouse(WM_LBUTTONUP, kCutKnobX, kCutKnobY + 20, 0);
    s.idle(2);
    EXPECT_EQ(caption("caption-released"), resting);
}

TEST_F(EditorDisplay, TitleBarRightClickCopiesOneOscillatorIntoAnother) {
    ASSERT_TRUE(s.open());
    s.setParameter(Osc1Pos, 0.125f);
    s.setParameter(Osc1Semi, 0.75f);
    EXPECT_TRUE(s.rightClickAndAnswer(100, kOsc1TitleY, {VK_DOWN, VK_RETURN}));  // "Copy"
    EXPECT_TRUE(s.rightClickAndAnswer(100, kOsc2TitleY, {VK_DOWN, VK_DOWN, VK_RETURN}));  // "Paste"
    EXPECT_FLOAT_EQ(s.parameter(Osc2Pos), 0.125f);
    EXPECT_FLOAT_EQ(s.parameter(Osc2Semi), 0.75f);
}

TEST_F(EditorDisplay, ALeftClickOnATitleBarOpensNothing) {
    ASSERT_TRUE(s.open());
    std::atomic<bool> menuSeen{false}, done{false};
    std::thread watch([&] {
        while (!done) {
            HWND menu = FindWindowW(L"#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
                menuSeen = true;
                EndMenu();
            }
            Sleep(5);
        }
    });
    s.click(100, kOsc1TitleY);
    s.idle(5);
    done = true;
    watch.join();
    EXPECT_FALSE(menuSeen);
}

TEST_F(EditorDisplay, MainMenuSizeEntryMakesTheNextOpeningLarger) {
    ASSERT_TRUE(s.open());
    // Save, Load, Init, Size, then 100 %, 125 %, 150 %.
    EXPECT_TRUE(s.rightClickAndAnswer(300, 20, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN,
                                                VK_RETURN}));
    s.close();
    EXPECT_EQ(s.width(), 1584);
    EXPECT_EQ(s.height(), 936);
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.capture("size-150").width, 1584);
    s.close();
    s.setParameter(kSizeCommand, 0.0f);
}

TEST_F(EditorDisplay, ClosingOnTheSeqPageReopensOnIt) {
    ASSERT_TRUE(s.open());
    const uint32_t mainPage = s.capture("page-main").at(234, 507);
    s.click(32, 600);  // the "SEQ" tab
    s.idle(2);
    const uint32_t seqPage = s.capture("page-seq").at(234, 507);
    EXPECT_NE(seqPage, mainPage);
    s.close();
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.capture("page-seq-again").at(234, 507), seqPage);
}

TEST_F(EditorDisplay, ManyOpeningsAndHostileCallOrdersDoNoHarm) {
    EXPECT_EQ(s.host.dispatch(effEditOpen, 0, 0, nullptr), 0);  // no parent window
    PROCESS_MEMORY_COUNTERS_EX before = {}, after = {};
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(s.open());
        s.close();
        if (i == 4) GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&before), sizeof(before));
    }
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&after), sizeof(after));
    EXPECT_LT(after.PrivateUsage, before.PrivateUsage + (24u << 20));
    s.close();
    s.close();
    s.idle(3);
    ERect* r = nullptr;
    EXPECT_EQ(s.host.dispatch(effEditGetRect, 0, 0, &r), 1);
}

TEST_F(EditorDisplay, ParametersAndNotesFromAnotherThreadWhileIdling) {
    ASSERT_TRUE(s.open());
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> index(0, 261);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        for (int i = 0; !stop; ++i) {
            s.setParameter(index(random), value(random));
            if (i % 16 == 0) s.note(i % 32 == 0 ? 0x90 : 0x80, 48 + i % 24, 90);
            s.render(1);
        }
    });
    for (int i = 0; i < 60; ++i) s.idle();
    stop = true;
    audio.join();
    s.idle(2);
}

}  // namespace

}  // namespace tvx
