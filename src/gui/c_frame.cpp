#include "gui/c_frame.h"

#include "gui/aeff_gui_editor.h"
#include "gui/gui_limits.h"

namespace tvx {

namespace {

CRect atOrigin(CRect size) {
    return size.moveTo(0, 0);
}

}  // namespace

CFrame::CFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor)
    : CViewContainer(atOrigin(size)), editor_(editor), systemWindow_(systemWindow) {
    if (systemWindow != nullptr) platform_ = createPlatformFrame(*this, systemWindow);
}

CFrame::~CFrame() {
    close();
}

void CFrame::close() {
    if (closed_) return;
    closed_ = true;
    releaseCapture();
    focusView_ = nullptr;
    focusLost_ = nullptr;
    // Views go first: they may still talk to the window while they die.
    removeAll();
    platform_.reset();
}

void CFrame::setPlatformFrame(std::unique_ptr<PlatformFrame> platform) {
    platform_ = std::move(platform);
    setDirty();
}

void CFrame::idle() {
    if (closed_) return;
    if (platform_ != nullptr) {
        platform_->pumpEvents();
        // An event handler may have closed the frame.
        if (closed_) return;
    }
    dirtyAreas_.clear();
    collectDirtyAreas(dirtyAreas_);
    if (dirtyAreas_.empty() || platform_ == nullptr) return;
    for (const CRect& area : dirtyAreas_) {
        CRect visible = area;
        visible.bound(size_);
        if (!visible.isEmpty()) platform_->invalidRect(visible);
    }
    platform_->flush();
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    const CRect savedClip = context->getClipRect();
    CRect clip = updateRect;
    clip.offset(context->getOffset().x, context->getOffset().y);
    clip.bound(savedClip);
    if (clip.isEmpty()) return;
    context->setClipRect(clip);
    CViewContainer::drawRect(context, updateRect);
    context->setClipRect(savedClip);
}

void CFrame::redrawAll() {
    setDirty();
    idle();
}

int CFrame::getKnobMode() const {
    return editor_ != nullptr ? editor_->getKnobMode() : kLinearMode;
}

PopupResult CFrame::popupMenu(COptionMenu& menu, const CPoint& whereInFrame) {
    if (platform_ == nullptr) return {};
    // The popup runs its own loop; a drag in progress ends here.
    releaseCapture();
    return platform_->popupMenu(menu, whereInFrame);
}

void CFrame::notePointer(const CPoint& where) {
    if (pointerInside_ && where.x == lastMouse_.x && where.y == lastMouse_.y) return;
    lastMouse_ = where;
    pointerInside_ = true;
    ++pointerMoves_;
}

void CFrame::setFocusView(CView* view) {
    focusView_ = view;
    if (view != nullptr && platform_ != nullptr) platform_->takeKeyboardFocus();
}

void CFrame::platformOnMouseExited() {
    if (closed_ || !pointerInside_) return;
    pointerInside_ = false;
    ++pointerMoves_;
}

CMouseEventResult CFrame::platformOnMouseDown(const CPoint& where, const CButtonState& buttons) {
    if (closed_) return kMouseEventNotHandled;
    notePointer(where);
    if (focusView_ != nullptr && !focusView_->getFrameRect().pointInside(where) && focusLost_) {
        // The handler may take the field away.
        const std::function<void()> handler = focusLost_;
        handler();
        if (closed_) return kMouseEventNotHandled;
    }
    CPoint local = where;
    const CMouseEventResult result = onMouseDown(local, buttons);
    if (result == kMouseEventHandled && !closed_) {
        mouseCaptured_ = true;
        if (platform_ != nullptr) platform_->setMouseCapture(true);
    }
    return result;
}

CMouseEventResult CFrame::platformOnMouseMoved(const CPoint& where, const CButtonState& buttons) {
    if (closed_) return kMouseEventNotHandled;
    notePointer(where);
    if (!mouseCaptured_) return kMouseEventNotHandled;
    CPoint local = where;
    return onMouseMoved(local, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(const CPoint& where, const CButtonState& buttons) {
    if (closed_) return kMouseEventNotHandled;
    lastMouse_ = where;
    if (!mouseCaptured_) return kMouseEventNotHandled;
    CPoint local = where;
    const CMouseEventResult result = onMouseUp(local, buttons);
    releaseCapture();
    return result;
}

bool CFrame::platformOnWheel(const CPoint& where, float distance, const CButtonState& buttons) {
    if (closed_ || mouseCaptured_) return false;
    notePointer(where);
    return onWheel(where, distance, buttons);
}

CView* CFrame::viewForKeys() const {
    return getViewAt(lastMouse_, true);
}

bool CFrame::platformOnKeyDown(const CKeyEvent& key) {
    if (closed_) return false;
    if (focusView_ != nullptr) return focusView_->onKeyDown(key);
    // The view under the mouse, then its containers.
    for (CView* view = viewForKeys(); view != nullptr && view != this; view = view->getParentView()) {
        if (view->onKeyDown(key)) return true;
    }
    return false;
}

bool CFrame::platformOnKeyUp(const CKeyEvent& key) {
    if (closed_) return false;
    if (focusView_ != nullptr) return focusView_->onKeyUp(key);
    for (CView* view = viewForKeys(); view != nullptr && view != this; view = view->getParentView()) {
        if (view->onKeyUp(key)) return true;
    }
    return false;
}

void CFrame::releaseCapture() {
    if (!mouseCaptured_) return;
    mouseCaptured_ = false;
    mouseDownView_ = nullptr;
    if (platform_ != nullptr) platform_->setMouseCapture(false);
}

void CFrame::setViewSize(const CRect& rect, bool invalidate) {
    CViewContainer::setViewSize(atOrigin(rect), invalidate);
    if (platform_ != nullptr) platform_->setSize(size_);
}

}  // namespace tvx
