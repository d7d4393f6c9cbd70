#include "gui/c_view.h"

#include "gui/c_frame.h"
#include "gui/c_view_container.h"

namespace tvx {

CView::CView(const CRect& size) : size_(size), mouseableArea_(size) {}

CView::~CView() = default;

void CView::draw(CDrawContext* /*context*/) {}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) {
    if (!visible_) return;
    const CRect savedClip = context->getClipRect();
    CRect clip = size_;
    clip.offset(context->getOffset().x, context->getOffset().y);
    clip.bound(savedClip);
    if (clip.isEmpty()) return;
    context->setClipRect(clip);
    draw(context);
    context->setClipRect(savedClip);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, float, const CButtonState&) { return false; }
bool CView::onKeyDown(const CKeyEvent&) { return false; }
bool CView::onKeyUp(const CKeyEvent&) { return false; }

void CView::setViewSize(const CRect& rect, bool invalidate) {
    // The old area must be repainted too, which the parent does.
    if (invalidate && parent_ != nullptr && rect != size_) parent_->setDirty();
    size_ = rect;
    mouseableArea_ = rect;
    if (invalidate) setDirty();
}

CPoint CView::localToFrame(const CPoint& point) const {
    CPoint result = point;
    for (const CViewContainer* p = parent_; p != nullptr && p->getParentView() != nullptr; p = p->getParentView())
        result.offset(p->getViewSize().left, p->getViewSize().top);
    return result;
}

CRect CView::getFrameRect() const {
    const CPoint origin = localToFrame(size_.getTopLeft());
    return CRect(origin, size_.getSize());
}

bool CView::hitTest(const CPoint& where, const CButtonState&) {
    return mouseableArea_.pointInside(where);
}

void CView::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    // Showing or hiding changes what lies behind, which the parent paints.
    if (parent_ != nullptr) parent_->setDirty();
    setDirty();
}

void CView::setTransparency(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    setDirty();
}

CFrame* CView::getFrame() const {
    const CView* view = this;
    while (view->parent_ != nullptr) view = view->parent_;
    return dynamic_cast<CFrame*>(const_cast<CView*>(view));
}

void CView::attached(CViewContainer* parent) {
    parent_ = parent;
    setDirty();
}

void CView::removed(CViewContainer* /*parent*/) {
    parent_ = nullptr;
}

}  // namespace tvx
