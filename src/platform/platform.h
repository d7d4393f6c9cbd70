#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tvx {

// The thin layer over the operating system. Everything the program needs
// from it goes through the one `Platform` object returned by platform(), so
// tests can answer dialogs and capture message boxes through their own.

#ifdef _WIN32
inline constexpr wchar_t path_separator = L'\\';
#else
inline constexpr wchar_t path_separator = L'/';
#endif

// folder + separator + name.
std::wstring joinPath(const std::wstring& folder, const std::wstring& name);

struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
};

enum FileDialogFlags : unsigned {
    kFileMustExist = 1u << 0,
    kHideReadOnly = 1u << 1,
    kOverwritePrompt = 1u << 2,
    kPathMustExist = 1u << 3,
};

struct FileDialogRequest {
    std::wstring title;             // "Load Preset"
    std::wstring filterText;        // "Presets (*.prs)"
    std::wstring pattern;           // "*.prs"
    std::wstring defaultExtension;  // "prs"
    std::wstring initialFolder;
    std::wstring proposedName;      // at most 260 characters are used
    unsigned flags = 0;             // FileDialogFlags
};

enum class MessageIcon { Information, Warning, Error };

class Platform {
public:
    virtual ~Platform() = default;

    // Full path of the file holding the plug-in's code; empty when unknown.
    virtual std::wstring moduleFilePath() = 0;
    // The per-user local data folder; empty when there is none.
    virtual std::wstring localDataFolder() = 0;

    // True when the folder was created (false also when it already existed).
    virtual bool createDirectory(const std::wstring& path) = 0;
    virtual bool pathExists(const std::wstring& path) = 0;
    virtual bool isDirectory(const std::wstring& path) = 0;
    // Entries of a folder in file-system order, without "." and "..";
    // with a pattern "*.ext" only names with that extension (any case).
    virtual std::vector<FolderEntry> listFolder(const std::wstring& folder, const std::wstring& pattern = L"") = 0;
    // Shows the folder in the system's file browser.
    virtual void openFolder(const std::wstring& path) = 0;

    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::wstring> openFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::wstring> saveFileDialog(const FileDialogRequest& request) = 0;
    // Why file dialogs cannot be shown at all (a Linux desktop without a
    // dialog program), for the editor to say; empty when they can.
    virtual std::wstring fileDialogUnavailableMessage() { return std::wstring(); }
    virtual void messageBox(const std::wstring& text, const std::wstring& title, MessageIcon icon) = 0;
};

Platform& platform();
// Substitutes the platform (tests); nullptr restores the real one.
void setPlatformForTesting(Platform* substitute);

// "*.ext" matching as the Windows file search does it: ASCII case ignored.
// An empty pattern or "*" matches every name.
bool matchesPattern(const std::wstring& name, const std::wstring& pattern);

}  // namespace tvx
