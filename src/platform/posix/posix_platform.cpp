// The platform layer on Linux and other POSIX systems. File dialogs have no
// counterpart here and answer "cancelled"; message boxes go to standard error.
#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

std::wstring widePath(const fs::path& path) {
    try {
        return path.wstring();
    } catch (...) {  // bytes that are not UTF-8
        return std::wstring();
    }
}

std::string utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        auto code = static_cast<unsigned long>(c);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
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

    void openFolder(const std::wstring&) override {
        // No desktop integration: a plug-in must not start programs on its own here.
    }

    std::optional<std::wstring> openFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::wstring> saveFileDialog(const FileDialogRequest&) override { return std::nullopt; }

    void messageBox(const std::wstring& text, const std::wstring& title, MessageIcon) override {
        std::string line = utf8(title) + ": " + utf8(text) + "\n";
        std::fputs(line.c_str(), stderr);
    }
};

}  // namespace

Platform& nativePlatform() {
    static PosixPlatform instance;
    return instance;
}
