// Reading and setting values in the editor of the built DLL as a musician
// does, in a real window under wine: the real pointer resting, leaving the
// window and turning the wheel (SendInput), typed values in the system's
// edit control, menus with submenus, bipolar arcs and idle sections veiled,
// pixels read back from the screen.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "host/editor_session.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

using namespace editor_places;

// More places at 100 %: the header strip and the middle of nowhere.
constexpr int kHeaderX = 700, kHeaderY = 30;
constexpr int kBlankX = 300, kBlankY = 42;
constexpr POINT kOffTheWindow = {2400, 1500};
constexpr int MainMenuBankCommand = 1052;
constexpr int ModTargetCommand = 1022;

class EditorValuesDisplay : public ::testing::Test {
protected:
    EditorSession s;
    void SetUp() override {
        ASSERT_TRUE(s.load());
        s.setParameter(kSizeCommand, 0.0f);
        pointAtScreen(kOffTheWindow);
        ASSERT_TRUE(s.open());
    }
    void TearDown() override { s.close(); }

    HWND hostWindow() { return static_cast<HWND>(s.window->nativeHandle()); }
    HWND valueField() {
        HWND frame = GetWindow(hostWindow(), GW_CHILD);
        return frame ? FindWindowExW(frame, nullptr, L"Edit", nullptr) : nullptr;
    }
    std::wstring fieldText() {
        wchar_t text[128] = {};
        GetWindowTextW(valueField(), text, 128);
        return text;
    }

    // The real pointer, moved as a mouse moves it.
    void pointAtScreen(POINT where) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>(std::ceil(where.x * 65536.0 / GetSystemMetrics(SM_CXSCREEN)));
        input.mi.dy = static_cast<LONG>(std::ceil(where.y * 65536.0 / GetSystemMetrics(SM_CYSCREEN)));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(INPUT));
        if (s.window) s.idle();
    }
    void pointAt(int x, int y) {
        POINT where = {x, y};
        ClientToScreen(hostWindow(), &where);
        pointAtScreen(where);
    }
    void turnWheel(int notches) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        SendInput(1, &input, sizeof(INPUT));
        s.idle();
    }
    // Keys as a keyboard sends them, to whatever window has the focus.
    void press(WORD key, bool shift = false) {
        std::vector<INPUT> inputs;
        auto add = [&](WORD vk, bool up) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (shift) add(VK_SHIFT, false);
        add(key, false);
        add(key, true);
        if (shift) add(VK_SHIFT, true);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        s.idle();
    }
    void type(const std::wstring& text) {
        for (wchar_t c : text) {
            const SHORT key = VkKeyScanW(c);
            press(LOBYTE(key), (HIBYTE(key) & 1) != 0);
        }
        s.idle(2);
    }

    bool idleUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            s.idle();
            if (done()) return true;
        }
        return done();
    }
    // Every second pixel of a client area of the host window, as the
    // screen shows it (the editor's windows included).
    std::vector<uint32_t> area(int left, int top, int right, int bottom) {
        const int width = right - left, height = bottom - top;
        HDC screen = GetDC(hostWindow());
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
        GdiFlush();
        std::vector<uint32_t> pixels;
        const auto* rows = static_cast<const uint32_t*>(bits);
        for (int y = 0; y < height; y += 2)
            for (int x = 0; x < width; x += 2) pixels.push_back(rows[y * width + x] & 0xFFFFFFu);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(hostWindow(), screen);
        return pixels;
    }
    std::vector<uint32_t> attackCaption() {
        return area(kAttackX - 28, kAttackCaptionY - 7, kAttackX + 28, kAttackCaptionY + 7);
    }
    std::vector<uint32_t> hintArea() { return area(182, 14, 388, 34); }
};

TEST_F(EditorValuesDisplay, TypedValuesGoThroughTheSystemsEditControl) {
    const HWND hostFocus = GetFocus();
    ASSERT_EQ(hostFocus, hostWindow());
    ASSERT_TRUE(s.rightClickAndAnswer(kSemiX, kSemiY, {VK_DOWN, VK_RETURN}));  // "Enter Value…"
    ASSERT_NE(valueField(), nullptr);
    EXPECT_EQ(GetFocus(), valueField()) << "the field takes the keyboard";
    RECT field;
    GetWindowRect(valueField(), &field);
    POINT semi = {kSemiX, kSemiY};
    ClientToScreen(hostWindow(), &semi);
    EXPECT_TRUE(PtInRect(&field, semi)) << "the field lies over the display";

    // Text it cannot read changes nothing and says why in the field.
    type(L"banana");
    press(VK_RETURN);
    s.capture("win-typed-banana");
    EXPECT_FLOAT_EQ(s.parameter(Osc1Semi), 0.5f);
    ASSERT_NE(valueField(), nullptr);
    EXPECT_NE(fieldText(), L"banana");
    EXPECT_FALSE(fieldText().empty());
    press(VK_ESCAPE);
    s.idle(2);
    EXPECT_EQ(valueField(), nullptr);
    EXPECT_FLOAT_EQ(s.parameter(Osc1Semi), 0.5f);

    // Escape, and a click elsewhere, after a good value change nothing.
    ASSERT_TRUE(s.rightClickAndAnswer(kSemiX, kSemiY, {VK_DOWN, VK_RETURN}));
    type(L"-5");
    press(VK_ESCAPE);
    s.idle(2);
    EXPECT_EQ(valueField(), nullptr);
    ASSERT_TRUE(s.rightClickAndAnswer(kSemiX, kSemiY, {VK_DOWN, VK_RETURN}));
    type(L"-5");
    s.click(kBlankX, kBlankY);
    s.idle(2);
    EXPECT_EQ(valueField(), nullptr) << "a click elsewhere closes the field";
    EXPECT_EQ(GetFocus(), hostFocus) << "the host's keys work again";
    EXPECT_FLOAT_EQ(s.parameter(Osc1Semi), 0.5f);

    s.host.state().automations.clear();
    ASSERT_TRUE(s.rightClickAndAnswer(kSemiX, kSemiY, {VK_DOWN, VK_RETURN}));
    type(L"-12 st");
    press(VK_RETURN);
    s.idle(2);
    EXPECT_EQ(valueField(), nullptr);
    EXPECT_FLOAT_EQ(s.parameter(Osc1Semi), 0.25f);  // -12 of +-24 semitones
    EXPECT_EQ(GetFocus(), hostFocus);
    ASSERT_FALSE(s.host.state().automations.empty()) << "the host sees the change as an edit";
    EXPECT_EQ(s.host.state().automations.back().first, Osc1Semi);
}

TEST_F(EditorValuesDisplay, RestingShowsTheValueAndLeavingTheWindowTakesReadoutAndHintAway) {
    pointAt(kBlankX, kBlankY);
    s.idle(3);
    const std::vector<uint32_t> caption = attackCaption();
    pointAt(kAttackX, kAttackY);
    ASSERT_TRUE(idleUntil([&] { return attackCaption() != caption; })) << "the caption shows the value";
    s.capture("win-hover-caption");
    pointAtScreen(kOffTheWindow);
    EXPECT_TRUE(idleUntil([&] { return attackCaption() == caption; }));

    const std::vector<uint32_t> noHint = hintArea();
    pointAt(kHeaderX, kHeaderY);
    ASSERT_TRUE(idleUntil([&] { return hintArea() != noHint; })) << "the header names its menu";
    s.capture("win-hint-header");
    pointAtScreen(kOffTheWindow);
    EXPECT_TRUE(idleUntil([&] { return hintArea() == noHint; }));
}

TEST_F(EditorValuesDisplay, TheWheelOverAKnobTurnsIt) {
    const float before = s.parameter(Env1Att);
    pointAt(kAttackX, kAttackY);
    turnWheel(1);
    EXPECT_TRUE(idleUntil([&] { return s.parameter(Env1Att) > before; }));
}

TEST_F(EditorValuesDisplay, ABipolarKnobLightsNothingAtNeutralAndItsSideOtherwise) {
    // Arc pixels left and right of the knob's vertical axis; the round cap
    // of an arc from the top reaches a little past it.
    auto arcAt = [&](float value) {
        s.setParameter(Osc1Fine, value);
        s.idle(3);
        const std::vector<uint32_t> knob = area(kFineX - 24, kFineY - 24, kFineX + 26, kFineY + 26);
        std::pair<int, int> sides{0, 0};
        for (int row = 0; row < 25; ++row)
            for (int column = 0; column < 25; ++column) {
                const int dx = column * 2 - 24;
                if (std::abs(dx) > 3 && closeTo(knob[static_cast<size_t>(row * 25 + column)], kArc, 40))
                    (dx < 0 ? sides.first : sides.second) += 1;
            }
        return sides;
    };
    const auto neutral = arcAt(0.5f);
    EXPECT_EQ(neutral.first + neutral.second, 0);
    const auto down = arcAt(0.25f);
    EXPECT_GT(down.first, 10);
    EXPECT_EQ(down.second, 0);
    const auto up = arcAt(0.75f);
    s.capture("win-bipolar-up");
    EXPECT_GT(up.second, 10);
    EXPECT_EQ(up.first, 0);
}

TEST_F(EditorValuesDisplay, ASwitchedOffOscillatorIsVeiledUntilItIsSwitchedOn) {
    // The centre of each oscillator's "Fine" knob, one row apart.
    const int x = kFineX, oscillator1Y = kFineY, oscillator2Y = kFineY + 144;
    auto pixel = [&](int y) { return area(x, y, x + 1, y + 1).at(0); };
    s.setParameter(Osc2Type, 0.0f);
    EXPECT_TRUE(idleUntil([&] { return pixel(oscillator2Y) != pixel(oscillator1Y); }));
    s.capture("win-osc2-off");
    s.setParameter(Osc2Type, 1.0f);
    EXPECT_TRUE(idleUntil([&] { return pixel(oscillator2Y) == pixel(oscillator1Y); }))
        << std::hex << pixel(oscillator2Y) << " " << pixel(oscillator1Y);
}

TEST_F(EditorValuesDisplay, AGroupedTargetSendsTheFlatMenuPositionOfItsEntry) {
    s.click(32, 552);  // the "MOD" tab
    s.idle(3);
    // Slot 3's target: "--", Global, Osc 1, Osc 2; inside: Tune, Semi, Fine, Pos.
    EXPECT_TRUE(s.leftClickAndAnswer(370, 564, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN,
                                                VK_RETURN}));
    const float grouped = s.parameter(Mod3Target);
    EXPECT_NE(grouped, 0.0f);
    s.setParameter(Mod3Target, 0.0f);
    s.setParameter(ModTargetCommand + 2, 23.0f);  // the flat entry "Osc 2 Pos"
    EXPECT_EQ(s.parameter(Mod3Target), grouped);
}

// Puts preset banks in the plug-in's home folder for the life of the
// object (the Default bank, the presets folder itself, stays empty) and
// restores the settings, which remember the bank, afterwards.
class PresetBanks {
public:
    PresetBanks() {
        wchar_t base[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base);
        home_ = std::filesystem::path(base) / L"Morrowfen Software" / L"Tessaravox";
        std::ifstream old(home_ / L"Settings.txt", std::ios::binary);
        hadSettings_ = static_cast<bool>(old);
        if (hadSettings_) saved_.assign(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>());
        // Each preset's Osc1Pos tells which file was loaded.
        float position = 0.1f;
        for (const auto& bank : kBanks) {
            for (int p = 1; p < 3; ++p) {
                std::filesystem::create_directories(home_ / L"Presets" / bank[0]);
                std::ofstream(home_ / L"Presets" / bank[0] / (std::string(bank[p]) + ".prs"), std::ios::binary)
                    << "Osc1Pos=" << position << "\r\n";
                position += 0.1f;
            }
        }
    }
    ~PresetBanks() {
        for (const auto& bank : kBanks) std::filesystem::remove_all(home_ / L"Presets" / bank[0]);
        if (hadSettings_) std::ofstream(home_ / L"Settings.txt", std::ios::binary) << saved_;
        else std::filesystem::remove(home_ / L"Settings.txt");
    }

private:
    static constexpr const char* kBanks[][3] = {{"zeta", "z2", "Z1"}, {"Alpha", "c3", "A1"}, {"beta", "b2", "A1"}};
    std::filesystem::path home_;
    bool hadSettings_ = false;
    std::string saved_;
};

TEST(EditorPresetBanks, ThePresetListLoadsAPresetFromABanksSubmenu) {
    PresetBanks banks;
    EditorSession s;
    ASSERT_TRUE(s.load());
    ASSERT_TRUE(s.open());
    s.setParameter(MainMenuBankCommand, 0.0f);  // the empty Default bank
    // Preset list: a separator, then Default, Alpha, beta, zeta; into
    // "beta", its second preset.
    EXPECT_TRUE(s.leftClickAndAnswer(528, 23, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}));
    char name[64] = {};
    s.host.dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "b2");
    EXPECT_NEAR(s.parameter(Osc1Pos), 0.5f, 1e-6f);
    s.close();
}

}  // namespace

}  // namespace tvx
