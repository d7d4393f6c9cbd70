#include "vsthost/editor_window.h"

namespace vsthost {

std::unique_ptr<EditorWindow> EditorWindow::create(const std::string&, int, int, std::string& error) {
    error =
        "this build of vsthost has no editor window on this platform yet; use the Windows build "
        "(under wine64 with an X display on Linux)";
    return nullptr;
}

}  // namespace vsthost
