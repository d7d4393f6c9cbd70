#include "gui/c_view_container.h"

#include <algorithm>

namespace tvx {

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    removeAll();
}

bool CViewContainer::addView(CView* view) {
    return addView(view, nullptr);
}

bool CViewContainer::addView(CView* view, CView* before) {
    if (view == nullptr || view == this || view->isAttached()) return false;
    auto position = std::find_if(children_.begin(), children_.end(),
                                 [before](const std::unique_ptr<CView>& child) { return child.get() == before; });
    children_.insert(position, std::unique_ptr<CView>(view));
    view->attached(this);
    setDirty();
    return true;
}

std::unique_ptr<CView> CViewContainer::releaseView(CView* view) {
    auto position = std::find_if(children_.begin(), children_.end(),
                                 [view](const std::unique_ptr<CView>& child) { return child.get() == view; });
    if (view == nullptr || position == children_.end()) return nullptr;
    if (mouseDownView_ == view) mouseDownView_ = nullptr;
    std::unique_ptr<CView> owned = std::move(*position);
    children_.erase(position);
    owned->removed(this);
    setDirty();
    return owned;
}

bool CViewContainer::removeView(CView* view, bool withDelete) {
    std::unique_ptr<CView> owned = releaseView(view);
    if (!owned) return false;
    if (!withDelete) owned.release();
    return true;
}

void CViewContainer::removeAll() {
    mouseDownView_ = nullptr;
    // Last added first, as they were stacked.
    while (!children_.empty()) {
        std::unique_ptr<CView> owned = std::move(children_.back());
        children_.pop_back();
        owned->removed(this);
    }
    setDirty();
}

CView* CViewContainer::getView(int index) const {
    if (index < 0 || index >= getNbViews()) return nullptr;
    return children_[size_t(index)].get();
}

bool CViewContainer::isChild(const CView* view) const {
    return std::any_of(children_.begin(), children_.end(),
                       [view](const std::unique_ptr<CView>& child) { return child.get() == view; });
}

CPoint CViewContainer::toLocal(const CPoint& where) const {
    // The root's children are in the root's own coordinates.
    if (getParentView() == nullptr) return where;
    return {where.x - size_.left, where.y - size_.top};
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    const CPoint local = toLocal(where);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = it->get();
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local)) continue;
        if (deep && child->isContainer()) {
            CView* inner = static_cast<CViewContainer*>(child)->getViewAt(local, true);
            return inner != nullptr ? inner : child;
        }
        return child;
    }
    return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color) {
    backgroundColor_ = color;
    setDirty();
}

void CViewContainer::setBackground(SharedBitmap bitmap) {
    background_ = std::move(bitmap);
    setDirty();
}

void CViewContainer::setBackgroundOffset(const CPoint& offset) {
    backgroundOffset_ = offset;
    setDirty();
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size_);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!isVisible()) return;
    CRect visible = updateRect;
    visible.bound(size_);
    if (visible.isEmpty()) return;
    const CPoint savedOffset = context->getOffset();
    const CRect savedClip = context->getClipRect();
    CRect clip = visible;
    clip.offset(savedOffset.x, savedOffset.y);
    clip.bound(savedClip);
    if (clip.isEmpty()) return;

    const CPoint origin = toLocal({0, 0});
    context->setClipRect(clip);
    context->setOffset({savedOffset.x - origin.x, savedOffset.y - origin.y});
    CRect local = visible;
    local.offset(origin.x, origin.y);
    drawBackgroundRect(context, local);
    drawChildren(context, local);
    context->setOffset(savedOffset);
    context->setClipRect(savedClip);
}

void CViewContainer::drawChildren(CDrawContext* context, const CRect& updateRect) {
    for (const auto& child : children_) {
        if (child->isVisible() && child->getViewSize().rectOverlap(updateRect)) child->drawRect(context, updateRect);
    }
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    // Transparency spares only the colour fill: a page that lies on its own
    // image still shows it.
    if (!getTransparency() && backgroundColor_.alpha != 0) context->fillRect(rect, backgroundColor_);
    if (background_ && background_->isLoaded()) {
        CRect source = rect;
        source.offset(-backgroundOffset_.x, -backgroundOffset_.y);
        context->drawBitmap(*background_, rect, source);
    }
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
    mouseDownView_ = nullptr;
    const CPoint local = toLocal(where);
    // Top of the z-order first; a view that declines passes the press on
    // to the views below it.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = it->get();
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons)) continue;
        CPoint childWhere = local;
        const CMouseEventResult result = child->onMouseDown(childWhere, buttons);
        if (result == kMouseEventHandled) {
            mouseDownView_ = child;
            return result;
        }
        if (result == kMouseDownEventHandledButDontNeedMovedOrUpEvents) return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (mouseDownView_ == nullptr) return kMouseEventNotHandled;
    CPoint local = toLocal(where);
    return mouseDownView_->onMouseMoved(local, buttons);
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (mouseDownView_ == nullptr) return kMouseEventNotHandled;
    CView* view = mouseDownView_;
    mouseDownView_ = nullptr;
    CPoint local = toLocal(where);
    return view->onMouseUp(local, buttons);
}

bool CViewContainer::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
    const CPoint local = toLocal(where);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = it->get();
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons)) continue;
        if (child->onWheel(local, distance, buttons)) return true;
    }
    return false;
}

bool CViewContainer::hitTest(const CPoint& where, const CButtonState& buttons) {
    return CView::hitTest(where, buttons);
}

bool CViewContainer::isDirty() const {
    if (CView::isDirty()) return true;
    return std::any_of(children_.begin(), children_.end(),
                       [](const std::unique_ptr<CView>& child) { return child->isVisible() && child->isDirty(); });
}

namespace {

void clearTree(CView& view) {
    view.CView::setDirty(false);
    if (!view.isContainer()) return;
    for (const auto& child : static_cast<CViewContainer&>(view).children()) clearTree(*child);
}

}  // namespace

void CViewContainer::collectDirtyAreas(std::vector<CRect>& areas) {
    if (CView::isDirty()) {
        areas.push_back(getFrameRect());
        clearTree(*this);
        return;
    }
    for (const auto& child : children_) {
        if (!child->isVisible()) continue;
        if (child->isContainer()) {
            static_cast<CViewContainer&>(*child).collectDirtyAreas(areas);
        } else if (child->CView::isDirty()) {
            child->CView::setDirty(false);
            areas.push_back(child->getFrameRect());
        }
    }
}

}  // namespace tvx
