#pragma once

#include <memory>
#include <string>

namespace tvx {

namespace vsthost {

// A top-level window of the host that a plug-in's editor opens into. One
// implementation per window system; where there is none, create() says so.
class EditorWindow {
public:
    virtual ~EditorWindow() = default;

    // A window whose client area is width x height pixels, shown at the top
    // left of the screen (parts off screen would read back black). Null with
    // a one-line reason in `error` when no window can be made here.
    static std::unique_ptr<EditorWindow> create(const std::string& title, int width, int height,
                                                std::string& error);

    // What the plug-in receives with effEditOpen (an HWND on Windows).
    virtual void* nativeHandle() = 0;
    virtual void setClientSize(int width, int height) = 0;
    // Handles the window messages waiting now, without blocking.
    virtual void processMessages() = 0;
    // Waits up to `milliseconds` for window messages and handles them.
    virtual void waitForMessages(int milliseconds) = 0;
    // False once the user has closed the window.
    virtual bool isOpen() const = 0;
    // A left click at a point of the client area, delivered to the child
    // window under it (the plug-in's view).
    virtual void clickAt(int x, int y) = 0;
    // Paints everything pending, reads the client area back from the screen
    // and writes it as a PNG file.
    virtual bool capturePng(const std::string& path, std::string& error) = 0;
};

}  // namespace vsthost

}  // namespace tvx
