// vsthost's editor commands with a real window; needs an X display under
// wine (the test runner starts its own Xvfb).

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "support/command_runner.h"
#include "support/png_pixels.h"

namespace tvx {

namespace {

const std::string kPainted = TVX_PAINTED_PLUGIN_PATH;

std::string scratch(const char* name) { return std::string(TVX_SCRATCH_DIR) + "/" + name; }

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

TEST(EditorCommandsDisplay, SnapshotCapturesAnyPluginsEditorAtItsSize) {
    const std::string out = scratch("painted.png");
    std::remove(out.c_str());
    CommandResult r = runVsthost({"snapshot", kPainted, "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("320 x 200"), std::string::npos) << r.out;
    PngPixels png;
    ASSERT_TRUE(readPng(out, png));
    ASSERT_EQ(png.width, 320);
    ASSERT_EQ(png.height, 200);
    EXPECT_EQ(png.at(40, 100), kRed);
    EXPECT_EQ(png.at(280, 100), kBlue);
    EXPECT_EQ(png.at(100, 4), kRed);  // no note held
    EXPECT_EQ(png.at(0, 0), kRed);    // the window's corner is the editor's corner
    EXPECT_EQ(png.at(319, 199), kBlue);
}

TEST(EditorCommandsDisplay, SnapshotWithANoteShowsTheEditorWhileItSounds) {
    const std::string out = scratch("painted-note.png");
    CommandResult r = runVsthost({"snapshot", kPainted, "--out", out, "--note", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    PngPixels png;
    ASSERT_TRUE(readPng(out, png));
    EXPECT_EQ(png.at(100, 4), kGreen);
    EXPECT_EQ(png.at(100, 50), kRed);
}

TEST(EditorCommandsDisplay, SnapshotIntoAnUnwritablePlaceFails) {
    CommandResult r = runVsthost({"snapshot", kPainted, "--out", scratch("no-such-folder/x.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

// The user closes the window; edit then ends normally and saves the chunk.
TEST(EditorCommandsDisplay, EditRunsUntilTheWindowIsClosedThenSavesTheChunk) {
    std::atomic<bool> done{false};
    std::thread closer([&] {
        for (int i = 0; i < 500 && !done; ++i) {
            HWND window = FindWindowW(L"VsthostEditorWindow", nullptr);
            if (window && IsWindowVisible(window)) {
                Sleep(200);
                PostMessageW(window, WM_CLOSE, 0, 0);
                return;
            }
            Sleep(20);
        }
    });
    const std::string chunk = scratch("edited.chunk");
    std::remove(chunk.c_str());
    CommandResult r = runVsthost({"edit", TVX_PLUGIN_PATH, "--set", "Osc1Pos=0.25", "--save-chunk", chunk});
    done = true;
    closer.join();
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(chunk, std::ios::binary);
    ASSERT_TRUE(in.good());
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string narrow;
    for (size_t i = 0; i < bytes.size(); i += 2) narrow += bytes[i];
    EXPECT_NE(narrow.find("Osc1Pos=0.25"), std::string::npos);
}

}  // namespace

}  // namespace tvx
