// The editor drawn into an offscreen image, as it looks on screen. The
// pictures land in the build folder's scratch directory for a look.

#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editor/editor.h"
#include "editor/fake_editor_host.h"
#include "gui/c_frame.h"
#include "gui/c_tab_view.h"
#include "gui/cairo/cairo_image_context.h"
#include "support/fake_platform.h"
#include "support/png_writer.h"
#include "support/temp_folder.h"

namespace tvx {

namespace {

constexpr int kVoiceLightX = 401, kVoiceLightY = 38;

std::string scratchPath(const std::string& name) {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tessaravox-editor";
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

CColor blendOver(const CColor& top, const CColor& below) {
    auto mix = [&](int t, int b) { return static_cast<uint8_t>((t * top.alpha + b * (255 - top.alpha) + 127) / 255); };
    return CColor(mix(top.red, below.red), mix(top.green, below.green), mix(top.blue, below.blue));
}

bool near(const CColor& a, const CColor& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

class EditorPixels : public ::testing::Test {
protected:
    FakeEditorHost host;
    Editor editor{host};

    CairoImageContext& draw(const std::string& name) {
        editor.idle();
        const CRect window = editor.getFrame()->getViewSize();
        image_ = std::make_unique<CairoImageContext>(window.width(), window.height());
        editor.getFrame()->drawRect(image_.get(), window);
        image_->writePng(scratchPath(name + ".png"));
        return *image_;
    }

private:
    std::unique_ptr<CairoImageContext> image_;
};

TEST_F(EditorPixels, TitleBarsAndVoiceLightsShowTheirColours) {
    ASSERT_TRUE(editor.open(nullptr));
    CairoImageContext& silent = draw("editor-main-100");
    const EditorStyle& style = editor.style();
    // With the default opaque backgroundColor the background image stays
    // hidden, and the title bar tints that colour by the header colour.
    EXPECT_TRUE(near(silent.pixelAt(300, 42), style.background, 2));
    EXPECT_TRUE(near(silent.pixelAt(300, 50), blendOver(style.header, style.background), 12));
    for (int k = 0; k < 32; ++k) EXPECT_EQ(silent.pixelAt(kVoiceLightX + 8 * k, kVoiceLightY), style.voiceOff);
    host.sounding[3] = true;
    CairoImageContext& playing = draw("editor-voice");
    EXPECT_EQ(playing.pixelAt(kVoiceLightX + 24, kVoiceLightY), style.voiceOn);
    EXPECT_EQ(playing.pixelAt(kVoiceLightX, kVoiceLightY), style.voiceOff);
    host.sounding[3] = false;
    EXPECT_EQ(draw("editor-voice-off").pixelAt(kVoiceLightX + 24, kVoiceLightY), style.voiceOff);
}

TEST_F(EditorPixels, SequencerStepLabelsShowUnusedUsedAndPlayingSteps) {
    host.params_[SeqStepCount] = 7.0f / 15.0f;  // eight steps
    host.step = 2;
    ASSERT_TRUE(editor.open(nullptr));
    editor.pageSwitcher()->selectTab(Editor::kSeqPage);
    CairoImageContext& image = draw("editor-seq-100");
    const EditorStyle& style = editor.style();
    // A corner of each step label, clear of its number.
    auto labelCorner = [&](int step) { return image.pixelAt(56 + 176 + 51 * step + 2, 480 + 24 + 2); };
    EXPECT_EQ(labelCorner(0), style.seqLabel[1].back);
    EXPECT_EQ(labelCorner(2), style.seqLabel[2].back);
    EXPECT_EQ(labelCorner(7), style.seqLabel[1].back);
    EXPECT_EQ(labelCorner(8), style.seqLabel[0].back);
    editor.pageSwitcher()->selectTab(Editor::kModPage);
    draw("editor-mod-100");
}

TEST_F(EditorPixels, EveryScaleDrawsTheWholeWindow) {
    for (int scale = 0; scale <= 4; ++scale) {
        host.config().scale = scale;
        editor.close();
        ASSERT_TRUE(editor.open(nullptr));
        CairoImageContext& image = draw("editor-scale-" + std::to_string(scale));
        const CRect window = editor.getFrame()->getViewSize();
        // Background colour or image everywhere: nothing left unpainted.
        EXPECT_EQ(image.pixelAt(window.width() - 1, window.height() - 1).alpha, 255);
        EXPECT_EQ(image.pixelAt(0, 0).alpha, 255);
    }
}

TEST_F(EditorPixels, ARestStepsVelocityBarIsEmptyAndAPlayedStepsIsNot) {
    host.params_[SeqVel1] = 0.0f;
    host.params_[SeqVel1 + 1] = 1.0f;
    ASSERT_TRUE(editor.open(nullptr));
    editor.pageSwitcher()->selectTab(Editor::kSeqPage);
    CairoImageContext& image = draw("editor-seq-rest");
    const EditorStyle& style = editor.style();
    // The left end of each "Vel" field, clear of its centred number.
    auto velocityLeft = [&](int step) { return image.pixelAt(56 + 176 + 51 * step + 3, 480 + 80 + 8); };
    EXPECT_EQ(velocityLeft(0), style.display.back);
    EXPECT_TRUE(near(velocityLeft(1), blendOver(CColor(style.display.color.red, style.display.color.green,
                                                       style.display.color.blue, 96),
                                                style.display.back),
                     3));
}

// Page images of a theme (drawn for 200 %, as theme images are): single
// colours, so any pixel of the page shows whether the image is drawn.
class ThemedPagePixels : public ::testing::Test {
protected:
    ThemedPagePixels() {
        namespace fs = std::filesystem;
        const fs::path data = folder.path() / "plugins" / "Tessaravox_Data";
        fs::create_directories(data / "Themes" / "Solid");
        system.modulePath = (data.parent_path() / "Tessaravox.so").wstring();
        const auto solid = [](std::uint32_t rgba) {
            return png_writer::encode(1984, 288, [rgba](std::uint32_t, std::uint32_t) { return rgba; });
        };
        TempFolder::writeBytes((data / "Themes" / "Solid" / "Background2.png").wstring(), solid(kGreen));
        TempFolder::writeBytes((data / "Themes" / "Solid" / "Background3.png").wstring(), solid(kMagenta));
    }

    static constexpr std::uint32_t kGreen = 0x00FF00FFu, kMagenta = 0xFF00FFFFu;
    TempFolder folder;
    FakePlatform system;
};

TEST_F(ThemedPagePixels, TheModAndSeqPagesLieOnTheThemesPageImages) {
    FakeEditorHost host;
    host.config().themeName = L"Solid";
    Editor editor{host};
    ASSERT_TRUE(editor.open(nullptr));
    const CRect window = editor.getFrame()->getViewSize();
    CairoImageContext image(window.width(), window.height());
    editor.pageSwitcher()->selectTab(Editor::kModPage);
    editor.getFrame()->drawRect(&image, window);
    // Right of slot 12's amount: nothing but the page lies there.
    EXPECT_EQ(image.pixelAt(56 + 986, 480 + 100), CColor(0, 255, 0));
    editor.pageSwitcher()->selectTab(Editor::kSeqPage);
    editor.getFrame()->drawRect(&image, window);
    EXPECT_EQ(image.pixelAt(56 + 140, 480 + 30), CColor(255, 0, 255));
    image.writePng(scratchPath("editor-seq-themed.png"));
}

}  // namespace

}  // namespace tvx

#endif
