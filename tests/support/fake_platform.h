#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tvx {

// Stands in for the operating system in tests: the module path and local
// data folder are chosen by the test, dialogs give queued answers (cancelled
// when none is queued) and message boxes and "open folder" requests are
// recorded. File-system operations go to the real platform.
class FakePlatform : public Platform {
public:
    struct Message {
        std::wstring text, title;
        MessageIcon icon;
    };

    FakePlatform() : real_(platform()) { setPlatformForTesting(this); }
    ~FakePlatform() override { setPlatformForTesting(nullptr); }
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    std::wstring modulePath;
    std::wstring localData;
    std::deque<std::optional<std::wstring>> dialogAnswers;
    std::vector<FileDialogRequest> dialogRequests;
    std::vector<Message> messages;
    std::vector<std::wstring> openedFolders;
    std::wstring noDialogReason;  // non-empty: dialogs cannot be shown at all

    std::wstring moduleFilePath() override { return modulePath; }
    std::wstring localDataFolder() override { return localData; }
    bool createDirectory(const std::wstring& path) override { return real_.createDirectory(path); }
    bool pathExists(const std::wstring& path) override { return real_.pathExists(path); }
    bool isDirectory(const std::wstring& path) override { return real_.isDirectory(path); }
    std::vector<FolderEntry> listFolder(const std::wstring& folder, const std::wstring& pattern) override {
        return real_.listFolder(folder, pattern);
    }
    void openFolder(const std::wstring& path) override { openedFolders.push_back(path); }
    std::optional<std::wstring> openFileDialog(const FileDialogRequest& request) override { return answer(request); }
    std::optional<std::wstring> saveFileDialog(const FileDialogRequest& request) override { return answer(request); }
    std::wstring fileDialogUnavailableMessage() override { return noDialogReason; }
    void messageBox(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }

private:
    std::optional<std::wstring> answer(const FileDialogRequest& request) {
        dialogRequests.push_back(request);
        if (dialogAnswers.empty()) return std::nullopt;
        std::optional<std::wstring> next = dialogAnswers.front();
        dialogAnswers.pop_front();
        return next;
    }
    Platform& real_;
};

}  // namespace tvx
