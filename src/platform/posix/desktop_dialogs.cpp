#include "platform/posix/desktop_dialogs.h"

#include "platform/posix/child_process.h"
#include "platform/posix/utf8_text.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace tvx {

namespace {

enum class ToolKind { Zenity, KDialog };

struct Tool {
    ToolKind kind;
    std::string path;
};

bool onKdeDesktop() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop != nullptr && std::strstr(desktop, "KDE") != nullptr;
}

std::optional<Tool> findTool() {
    const ToolKind order[2] = {onKdeDesktop() ? ToolKind::KDialog : ToolKind::Zenity,
                               onKdeDesktop() ? ToolKind::Zenity : ToolKind::KDialog};
    for (ToolKind kind : order) {
        if (auto path = findOnPath(kind == ToolKind::Zenity ? "zenity" : "kdialog")) return Tool{kind, *path};
    }
    return std::nullopt;
}

std::string folderOrHome(const std::wstring& folder) {
    if (!folder.empty()) return encodeUtf8(folder);
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "/";
}

std::vector<std::string> fileDialogArguments(const Tool& tool, const FileDialogRequest& request, bool save) {
    const std::string title = encodeUtf8(request.title);
    const std::string folder = folderOrHome(request.initialFolder);
    const std::string proposed = encodeUtf8(request.proposedName.substr(0, 260));
    const std::string start = save ? folder + "/" + proposed : folder + "/";
    if (tool.kind == ToolKind::Zenity) {
        std::vector<std::string> args{tool.path, "--file-selection", "--title=" + title, "--filename=" + start};
        if (save) args.push_back("--save");
        if (save && (request.flags & kOverwritePrompt)) args.push_back("--confirm-overwrite");
        if (!request.pattern.empty())
            args.push_back("--file-filter=" + encodeUtf8(request.filterText) + " | " + encodeUtf8(request.pattern));
        return args;
    }
    std::vector<std::string> args{tool.path, "--title", title, save ? "--getsavefilename" : "--getopenfilename",
                                  start};
    if (!request.pattern.empty()) args.push_back(encodeUtf8(request.pattern) + "|" + encodeUtf8(request.filterText));
    return args;
}

// The tools print the chosen path and a line end; exit code 1 is Cancel.
std::optional<std::wstring> chosenPath(const ProcessResult& result) {
    if (!result.started) return std::nullopt;
    std::string path = result.output;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    const bool statusSaysOk = result.exitCode == 0 || (result.exitCode == -1 && !path.empty());
    if (!statusSaysOk || path.empty() || path.find('\n') != std::string::npos) return std::nullopt;
    return decodeUtf8(path);
}

bool hasExtension(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    const size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash + 1);
}

bool fileExists(const std::wstring& path) {
    struct stat info {};
    return stat(encodeUtf8(path).c_str(), &info) == 0;
}

bool confirmReplace(const Tool& tool, const std::wstring& path, const std::wstring& title) {
    const std::string question = encodeUtf8(path) + " already exists.\nDo you want to replace it?";
    std::vector<std::string> args;
    if (tool.kind == ToolKind::Zenity) {
        args = {tool.path, "--question", "--no-markup", "--title=" + encodeUtf8(title), "--text=" + question};
    } else {
        args = {tool.path, "--title", encodeUtf8(title), "--warningyesno", question};
    }
    return runAndCapture(args).exitCode == 0;
}

const char* zenityIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning: return "--warning";
    case MessageIcon::Error: return "--error";
    default: return "--info";
    }
}

const char* kdialogIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning: return "--sorry";
    case MessageIcon::Error: return "--error";
    default: return "--msgbox";
    }
}

}  // namespace

bool DesktopDialogs::available() const {
    return findTool().has_value();
}

std::optional<std::wstring> DesktopDialogs::openFile(const FileDialogRequest& request) const {
    const std::optional<Tool> tool = findTool();
    if (!tool) return std::nullopt;
    return chosenPath(runAndCapture(fileDialogArguments(*tool, request, false)));
}

std::optional<std::wstring> DesktopDialogs::saveFile(const FileDialogRequest& request) const {
    const std::optional<Tool> tool = findTool();
    if (!tool) return std::nullopt;
    std::optional<std::wstring> path = chosenPath(runAndCapture(fileDialogArguments(*tool, request, true)));
    if (!path || request.defaultExtension.empty() || hasExtension(*path)) return path;
    // The dialog confirmed the name as typed; the name with the extension
    // is a different file, which may exist too.
    *path += L"." + request.defaultExtension;
    if ((request.flags & kOverwritePrompt) && fileExists(*path) && !confirmReplace(*tool, *path, request.title))
        return std::nullopt;
    return path;
}

bool DesktopDialogs::message(const std::wstring& text, const std::wstring& title, MessageIcon icon) const {
    const std::optional<Tool> tool = findTool();
    if (!tool) return false;
    std::vector<std::string> args;
    if (tool->kind == ToolKind::Zenity) {
        // Without --no-markup zenity reads "<" and "&" in a file name as markup.
        args = {tool->path, zenityIcon(icon), "--no-markup", "--title=" + encodeUtf8(title), "--text=" + encodeUtf8(text)};
    } else {
        args = {tool->path, "--title", encodeUtf8(title), kdialogIcon(icon), encodeUtf8(text)};
    }
    return runAndCapture(args).started;
}

}  // namespace tvx
