#pragma once

#include "gui/c_control_listener.h"
#include "gui/c_view_container.h"

#include <vector>

namespace tvx {

class CControl;

enum CTabPosition {
    kPositionTop = 0,
    kPositionLeft,
};

// Pages with a tab button each. The buttons sit in a row along the top or
// a column on the left, each `tabSize` large; the pages fill the rest.
// Only the selected page is visible; the selected button has the value 1,
// the others 0. The tab view listens to its buttons itself, so any
// two-state control (a COnOffButton or a class drawn as text) can be a tab.
class CTabView : public CViewContainer, public CControlListener {
public:
    CTabView(const CRect& size, const CPoint& tabSize, CTabPosition position = kPositionTop);
    ~CTabView() override;

    // Takes ownership of both; positions them. Returns false for nulls.
    bool addTab(CView* page, CControl* button);
    int getNbTabs() const { return static_cast<int>(pages_.size()); }
    CView* getTabView(int index) const;
    CControl* getTabButton(int index) const;

    // Shows the page `index`; an index out of range changes nothing.
    bool selectTab(int index);
    int getCurrentTab() const { return current_; }
    // The rectangle the pages take, in the tab view's coordinates.
    CRect getPageArea() const;

    // Told after the selected page changed by a click (not by selectTab).
    void setTabChangeListener(CControlListener* listener) { tabChangeListener_ = listener; }

    void valueChanged(CControl* control) override;

private:
    CRect tabRect(int index) const;
    void showSelection();

    CPoint tabSize_;
    CTabPosition position_;
    std::vector<CView*> pages_;
    std::vector<CControl*> buttons_;
    int current_ = -1;
    CControlListener* tabChangeListener_ = nullptr;
};

}  // namespace tvx
