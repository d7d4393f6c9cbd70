// The Linux platform layer's dialogs, message boxes and "open folder",
// driven through stand-in dialog programs that record their arguments, on a
// PATH that holds nothing else.
#ifndef _WIN32
#include "platform/posix/desktop_dialogs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "support/desktop_scope.h"
#include "support/temp_folder.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

// Records each call's arguments (NUL-separated) in calls/<n>, prints
// answer<n> and exits with code<n> (0 when absent).
const char* kStandInTool = R"sh(#!/bin/sh
PATH=/usr/bin:/bin
dir=$(dirname "$0")
n=$(ls "$dir/calls" | wc -l)
printf '%s\0' "$@" > "$dir/calls/$n"
[ -f "$dir/answer$n" ] && cat "$dir/answer$n"
[ -f "$dir/code$n" ] && exit "$(cat "$dir/code$n")"
exit 0
)sh";

class DesktopDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setPlatformForTesting(nullptr);
        fs::create_directories(bin() / "calls");
    }

    fs::path bin() const { return desktop_.bin(); }
    void install(const std::string& name) { desktop_.install(name, kStandInTool); }
    void answer(int call, const std::string& text, int code = 0) {
        std::ofstream(bin() / ("answer" + std::to_string(call))) << text;
        std::ofstream(bin() / ("code" + std::to_string(call))) << code;
    }
    std::vector<std::string> arguments(int call) const {
        std::ifstream in(bin() / "calls" / std::to_string(call), std::ios::binary);
        std::vector<std::string> args;
        std::string arg;
        while (std::getline(in, arg, '\0')) args.push_back(arg);
        return args;
    }
    int callCount() const {
        return int(std::distance(fs::directory_iterator(bin() / "calls"), fs::directory_iterator()));
    }
    static FileDialogRequest presetRequest(const std::wstring& folder, const std::wstring& title) {
        FileDialogRequest request;
        request.title = title;
        request.filterText = L"Presets (*.prs)";
        request.pattern = L"*.prs";
        request.defaultExtension = L"prs";
        request.initialFolder = folder;
        return request;
    }

    DesktopScope desktop_;
    const TempFolder& temp_ = desktop_.folder();
};

TEST_F(DesktopDialogsTest, ZenityShowsTheRequestAndItsAnswerIsTakenVerbatimWithoutAShell) {
    install("zenity");
    const std::wstring folder = temp_.file("my presets");
    const std::string tricky = temp_.path().string() + "/it's a \"pad\" $(touch pwned) `touch pwned2` ;&.prs";
    answer(0, tricky + "\n");
    const auto chosen = platform().openFileDialog(presetRequest(folder, L"Load Preset"));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(fs::path(*chosen).string(), tricky);
    EXPECT_FALSE(fs::exists(temp_.path() / "pwned"));
    EXPECT_FALSE(fs::exists(bin() / "pwned2"));
    const std::string folderText = fs::path(folder).string();
    EXPECT_EQ(arguments(0), (std::vector<std::string>{"--file-selection", "--title=Load Preset",
                                                      "--filename=" + folderText + "/",
                                                      "--file-filter=Presets (*.prs) | *.prs"}));

    // Cancel (exit 1), a failure (another code) and an empty answer choose nothing.
    answer(1, "", 1);
    EXPECT_FALSE(platform().openFileDialog(presetRequest(folder, L"Load Preset")).has_value());
    answer(2, "/somewhere/else.prs\n", 5);
    EXPECT_FALSE(platform().openFileDialog(presetRequest(folder, L"Load Preset")).has_value());
    answer(3, "\n", 0);
    EXPECT_FALSE(platform().openFileDialog(presetRequest(folder, L"Load Preset")).has_value());
}

TEST_F(DesktopDialogsTest, SaveProposesTheNameAddsTheExtensionAndAsksBeforeReplacingThatFile) {
    install("zenity");
    const std::wstring folder = temp_.path().wstring();
    FileDialogRequest request = presetRequest(folder, L"Save Preset");
    request.proposedName = L"Warm Pad";
    request.flags = kOverwritePrompt | kPathMustExist;

    answer(0, temp_.path().string() + "/Fresh\n");
    auto chosen = platform().saveFileDialog(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder + L"/Fresh.prs");
    const std::vector<std::string> args = arguments(0);
    EXPECT_EQ(args.at(2), "--filename=" + temp_.path().string() + "/Warm Pad");
    EXPECT_NE(std::find(args.begin(), args.end(), "--save"), args.end());
    EXPECT_NE(std::find(args.begin(), args.end(), "--confirm-overwrite"), args.end());
    EXPECT_EQ(callCount(), 1);

    // "Old" was typed, "Old.prs" exists: the replacement is confirmed first.
    TempFolder::writeBytes(folder + L"/Old.prs", "Volume=0.5\r\n");
    answer(1, temp_.path().string() + "/Old\n");
    answer(2, "", 1);  // "No"
    EXPECT_FALSE(platform().saveFileDialog(request).has_value());
    EXPECT_EQ(arguments(2).at(0), "--question");
    answer(3, temp_.path().string() + "/Old\n");
    answer(4, "", 0);  // "Yes"
    chosen = platform().saveFileDialog(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder + L"/Old.prs");

    // A name with its extension was confirmed by the dialog itself.
    answer(5, temp_.path().string() + "/Old.prs\n");
    chosen = platform().saveFileDialog(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(callCount(), 6);
}

TEST_F(DesktopDialogsTest, KdialogIsUsedWhenItIsTheOneInstalledOrTheDesktopIsKde) {
    install("kdialog");
    answer(0, "/home/someone/a.prs\n");
    const auto chosen = platform().openFileDialog(presetRequest(L"/home/someone/Presets", L"Load Preset"));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, L"/home/someone/a.prs");
    EXPECT_EQ(arguments(0), (std::vector<std::string>{"--title", "Load Preset", "--getopenfilename",
                                                      "/home/someone/Presets/", "*.prs|Presets (*.prs)"}));

    install("zenity");
    desktop_.set("XDG_CURRENT_DESKTOP", "KDE");
    platform().messageBox(L"The preset could not be loaded.", L"Error", MessageIcon::Information);
    EXPECT_EQ(arguments(1), (std::vector<std::string>{"--title", "Error", "--msgbox",
                                                      "The preset could not be loaded."}));
}

TEST_F(DesktopDialogsTest, MessagesAreShownAsPlainText) {
    install("zenity");
    platform().messageBox(L"<b>Tessaravox</b> & friends \u00e9", L"About", MessageIcon::Error);
    EXPECT_EQ(arguments(0), (std::vector<std::string>{"--error", "--no-markup", "--title=About",
                                                      "--text=<b>Tessaravox</b> & friends \xc3\xa9"}));
}

TEST_F(DesktopDialogsTest, WithoutADialogProgramDialogsCancelAndSaySoAndMessagesGoToStandardError) {
    EXPECT_FALSE(platform().fileDialogUnavailableMessage().empty());
    EXPECT_FALSE(platform().openFileDialog(presetRequest(L"/tmp", L"Load Preset")).has_value());
    EXPECT_FALSE(platform().saveFileDialog(presetRequest(L"/tmp", L"Save Preset")).has_value());
    ::testing::internal::CaptureStderr();
    platform().messageBox(L"The sequence could not be saved.", L"Error", MessageIcon::Information);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: The sequence could not be saved.\n");

    install("zenity");
    EXPECT_TRUE(platform().fileDialogUnavailableMessage().empty());
}

TEST_F(DesktopDialogsTest, ShowHomeFolderStartsXdgOpenWithoutWaitingForIt) {
    // The stand-in file browser runs until the test lets it go; had the
    // call waited for it, it would report that it was released too late.
    const fs::path opened = temp_.path() / "opened";
    const fs::path release = temp_.path() / "release";
    desktop_.install("xdg-open", "#!/bin/sh\nPATH=/usr/bin:/bin\nfor i in $(seq 100); do\n"
                                 "  [ -f '" + release.string() + "' ] && break; sleep 0.1\ndone\n"
                                 "[ -f '" + release.string() + "' ] || set -- 'never released'\n"
                                 "printf '%s' \"$1\" > '" + opened.string() + ".part'\n"
                                 "mv '" + opened.string() + ".part' '" + opened.string() + "'\n");
    const std::wstring home = temp_.file("Home $(folder)");
    platform().openFolder(home);
    std::ofstream(release) << "go";
    for (int i = 0; i < 200 && !fs::exists(opened); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(TempFolder::readBytes(opened.wstring()), fs::path(home).string());
}

}  // namespace

}  // namespace tvx

#endif
