#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>

namespace tvx {

// File dialogs and message boxes on a Linux desktop, shown by the dialog
// program the desktop has: kdialog on KDE, zenity elsewhere, whichever of
// the two is found on PATH. The tools are looked up at each call, so one
// installed while the host runs is used at once.
class DesktopDialogs {
public:
    static constexpr const wchar_t* kUnavailableMessage =
        L"No file dialog is available: install zenity or kdialog";

    bool available() const;
    // Nothing when the user cancelled, the tool failed or there is no tool.
    std::optional<std::wstring> openFile(const FileDialogRequest& request) const;
    // As openFile; a name without extension gets the default extension,
    // and replacing an existing file is confirmed when the request asks so.
    std::optional<std::wstring> saveFile(const FileDialogRequest& request) const;
    // False when there is no tool to show it.
    bool message(const std::wstring& text, const std::wstring& title, MessageIcon icon) const;
};

}  // namespace tvx
