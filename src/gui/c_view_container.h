#pragma once

#include "gui/c_bitmap.h"
#include "gui/c_color.h"
#include "gui/c_view.h"

#include <memory>
#include <vector>

namespace tvx {

// A view that holds other views, in z-order (the last added on top). It
// owns its children and deletes them with itself. Children's sizes are in
// this container's own coordinates, whose origin is its top-left corner.
class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Takes ownership of `view` (made with new). A null view is ignored.
    bool addView(CView* view);
    // Inserts `view` below `before` in the z-order (on top if `before` is
    // not a child).
    bool addView(CView* view, CView* before);
    // Removes and, by default, deletes the view; returns false when it is
    // not a direct child.
    bool removeView(CView* view, bool withDelete = true);
    // Hands the view back to the caller without deleting it.
    std::unique_ptr<CView> releaseView(CView* view);
    void removeAll();

    int getNbViews() const { return static_cast<int>(children_.size()); }
    CView* getView(int index) const;
    bool isChild(const CView* view) const;
    // The topmost visible, mouse-enabled child under `where` (container
    // coordinates of the parent, like the container's own size). With
    // `deep`, descends into child containers.
    CView* getViewAt(const CPoint& where, bool deep = false) const;

    void setBackgroundColor(const CColor& color);
    const CColor& getBackgroundColor() const { return backgroundColor_; }
    void setBackground(SharedBitmap bitmap);
    const SharedBitmap& getBackground() const { return background_; }
    // Where the background bitmap's top-left pixel is drawn, relative to
    // the container.
    void setBackgroundOffset(const CPoint& offset);

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    // Paints the background (colour, then bitmap) of `rect` (container
    // coordinates, after the context's offset moved to this container).
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    bool hitTest(const CPoint& where, const CButtonState& buttons = 0) override;
    bool isContainer() const override { return true; }

    // Dirty when any view below it is.
    bool isDirty() const override;
    // Appends the frame rectangles of the visible dirty views below this
    // container (the container itself if it is dirty) and clears their
    // flags. The frame then redraws those areas.
    void collectDirtyAreas(std::vector<CRect>& areas);

    // Children in z-order, bottom first.
    const std::vector<std::unique_ptr<CView>>& children() const { return children_; }

protected:
    // The child that took the last mouse-down, so moves and the release
    // go to it.
    CView* mouseDownView_ = nullptr;

private:
    void drawChildren(CDrawContext* context, const CRect& updateRect);
    CPoint toLocal(const CPoint& where) const;

    std::vector<std::unique_ptr<CView>> children_;
    CColor backgroundColor_ = kTransparentCColor;
    SharedBitmap background_;
    CPoint backgroundOffset_;
};

}  // namespace tvx
