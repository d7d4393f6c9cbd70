// The platform layer on Windows: the kernel32, shell32, shlwapi, comdlg32 and
// user32 calls the plug-in relies on.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/platform.h"

namespace tvx {

// The DLL's own module handle (not the host program's).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr DWORD kPathBufferSize = MAX_PATH;  // 260 characters

// "Presets (*.prs)\0*.prs\0\0": the filter text, its pattern, two terminators.
std::wstring filterString(const FileDialogRequest& request) {
    std::wstring filter = request.filterText;
    filter.push_back(L'\0');
    filter += request.pattern;
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

DWORD dialogFlags(unsigned flags) {
    DWORD result = 0;
    if (flags & kFileMustExist) result |= OFN_FILEMUSTEXIST;
    if (flags & kHideReadOnly) result |= OFN_HIDEREADONLY;
    if (flags & kOverwritePrompt) result |= OFN_OVERWRITEPROMPT;
    if (flags & kPathMustExist) result |= OFN_PATHMUSTEXIST;
    return result;
}

template <typename ShowDialog>
std::optional<std::wstring> runFileDialog(const FileDialogRequest& request, ShowDialog show) {
    wchar_t fileName[kPathBufferSize] = {};
    size_t proposed = request.proposedName.size() < kPathBufferSize - 1 ? request.proposedName.size() : kPathBufferSize - 1;
    request.proposedName.copy(fileName, proposed);
    std::wstring filter = filterString(request);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = kPathBufferSize;
    dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    dialog.lpstrTitle = request.title.c_str();
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = dialogFlags(request.flags);
    if (!show(&dialog)) return std::nullopt;
    return std::wstring(fileName);
}

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Warning: return MB_ICONWARNING;
        case MessageIcon::Error: return MB_ICONERROR;
        case MessageIcon::Information: break;
    }
    return MB_ICONINFORMATION;
}

class Win32Platform final : public Platform {
public:
    std::wstring moduleFilePath() override {
        wchar_t path[kPathBufferSize] = {};
        DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, kPathBufferSize);
        if (length == 0 || length >= kPathBufferSize) return std::wstring();  // failed or truncated
        return std::wstring(path, length);
    }

    std::wstring localDataFolder() override {
        wchar_t path[kPathBufferSize] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path))) return std::wstring();
        return std::wstring(path);
    }

    bool createDirectory(const std::wstring& path) override { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

    bool pathExists(const std::wstring& path) override { return PathFileExistsW(path.c_str()) != 0; }

    bool isDirectory(const std::wstring& path) override {
        DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    std::vector<FolderEntry> listFolder(const std::wstring& folder, const std::wstring& pattern) override {
        std::vector<FolderEntry> entries;
        std::wstring search = joinPath(folder, pattern.empty() ? std::wstring(L"*") : pattern);
        WIN32_FIND_DATAW found;
        HANDLE handle = FindFirstFileW(search.c_str(), &found);
        if (handle == INVALID_HANDLE_VALUE) return entries;
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L".." || !matchesPattern(name, pattern)) continue;  // short-name matches too
            entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileW(handle, &found));
        FindClose(handle);
        return entries;
    }

    void openFolder(const std::wstring& path) override {
        ShellExecuteW(nullptr, L"Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    std::optional<std::wstring> openFileDialog(const FileDialogRequest& request) override {
        return runFileDialog(request, [](OPENFILENAMEW* dialog) { return GetOpenFileNameW(dialog) != 0; });
    }

    std::optional<std::wstring> saveFileDialog(const FileDialogRequest& request) override {
        return runFileDialog(request, [](OPENFILENAMEW* dialog) { return GetSaveFileNameW(dialog) != 0; });
    }

    void messageBox(const std::wstring& text, const std::wstring& title, MessageIcon icon) override {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | iconStyle(icon));
    }
};

}  // namespace

Platform& nativePlatform() {
    static Win32Platform instance;
    return instance;
}

}  // namespace tvx
