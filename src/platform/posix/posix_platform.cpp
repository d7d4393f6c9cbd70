// The platform layer on Linux and other POSIX systems. Dialogs and message
// boxes are shown by the desktop's dialog program (DesktopDialogs); without
// one, file dialogs answer "cancelled" and messages go to standard error.
#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"
#include "platform/posix/child_process.h"
#include "platform/posix/desktop_dialogs.h"
#include "platform/posix/utf8_text.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

std::wstring widePath(const fs::path& path) {
    try {
        return path.wstring();
    } catch (...) {  // bytes that are not UTF-8
        return std::wstring();
    }
}

// An empty path (on which every operation fails) for characters that have no
// UTF-8 form.
fs::path toPath(const std::wstring& path) {
    try {
        return fs::path(path);
    } catch (...) {
        return fs::path();
    }
}

// Any function of this library: dladdr maps its address to the file that
// holds it (the plug-in .so, or the program it is linked into).
void moduleAnchor() {}

std::wstring homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && *home) return widePath(fs::path(home));
    if (const passwd* entry = getpwuid(getuid()))
        if (entry->pw_dir && *entry->pw_dir) return widePath(fs::path(entry->pw_dir));
    return std::wstring();
}

class PosixPlatform final : public Platform {
public:
    std::wstring moduleFilePath() override {
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&moduleAnchor), &info) && info.dli_fname && *info.dli_fname) {
            std::error_code error;
            fs::path resolved = fs::canonical(fs::path(info.dli_fname), error);
            if (!error) return widePath(resolved);
        }
        std::error_code error;
        fs::path self = fs::read_symlink("/proc/self/exe", error);
        return error ? std::wstring() : widePath(self);
    }

    std::wstring localDataFolder() override {
        std::wstring folder;
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg && *xdg == '/') {
            folder = widePath(fs::path(xdg));
        } else {
            std::wstring home = homeDirectory();
            if (home.empty()) return std::wstring();
            folder = home + L"/.local/share";
        }
        // Unlike its Windows counterpart this folder may not exist yet.
        std::error_code error;
        fs::create_directories(toPath(folder), error);
        return isDirectory(folder) ? folder : std::wstring();
    }

    bool createDirectory(const std::wstring& path) override {
        std::error_code error;
        return fs::create_directory(toPath(path), error);
    }

    bool pathExists(const std::wstring& path) override {
        std::error_code error;
        return fs::exists(toPath(path), error);
    }

    bool isDirectory(const std::wstring& path) override {
        std::error_code error;
        return fs::is_directory(toPath(path), error);
    }

    std::vector<FolderEntry> listFolder(const std::wstring& folder, const std::wstring& pattern) override {
        std::vector<FolderEntry> entries;
        std::error_code error;
        fs::directory_iterator it(toPath(folder), error), end;
        for (; !error && it != end; it.increment(error)) {
            std::wstring name = widePath(it->path().filename());
            if (name.empty() || !matchesPattern(name, pattern)) continue;
            std::error_code kindError;
            entries.push_back({name, it->is_directory(kindError)});
        }
        return entries;
    }

    void openFolder(const std::wstring& path) override {
        const std::optional<std::string> opener = findOnPath("xdg-open");
        if (opener && launchDetached({*opener, encodeUtf8(path)})) return;
        std::fputs(("Tessaravox: cannot open " + encodeUtf8(path) + ": xdg-open is not available\n").c_str(), stderr);
    }

    std::optional<std::wstring> openFileDialog(const FileDialogRequest& request) override {
        return dialogs_.openFile(request);
    }
    std::optional<std::wstring> saveFileDialog(const FileDialogRequest& request) override {
        return dialogs_.saveFile(request);
    }
    std::wstring fileDialogUnavailableMessage() override {
        return dialogs_.available() ? std::wstring() : DesktopDialogs::kUnavailableMessage;
    }

    void messageBox(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
        if (dialogs_.message(text, title, icon)) return;
        std::string line = encodeUtf8(title) + ": " + encodeUtf8(text) + "\n";
        std::fputs(line.c_str(), stderr);
    }

private:
    DesktopDialogs dialogs_;
};

}  // namespace

Platform& nativePlatform() {
    static PosixPlatform instance;
    return instance;
}

}  // namespace tvx
