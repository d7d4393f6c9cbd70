#include "gui/c_tab_view.h"

#include "gui/c_control.h"

namespace tvx {

CTabView::CTabView(const CRect& size, const CPoint& tabSize, CTabPosition position)
    : CViewContainer(size), tabSize_(tabSize), position_(position) {
    setTransparency(true);
}

CTabView::~CTabView() {
    // The buttons report to this object; they go before it stops being one.
    for (CControl* button : buttons_) button->setListener(nullptr);
    removeAll();
}

CRect CTabView::tabRect(int index) const {
    if (position_ == kPositionLeft) return {0, index * tabSize_.y, tabSize_.x, (index + 1) * tabSize_.y};
    return {index * tabSize_.x, 0, (index + 1) * tabSize_.x, tabSize_.y};
}

CRect CTabView::getPageArea() const {
    if (position_ == kPositionLeft) return {tabSize_.x, 0, size_.width(), size_.height()};
    return {0, tabSize_.y, size_.width(), size_.height()};
}

bool CTabView::addTab(CView* page, CControl* button) {
    if (page == nullptr || button == nullptr) {
        delete page;
        delete button;
        return false;
    }
    button->setViewSize(tabRect(getNbTabs()));
    button->setListener(this);
    page->setViewSize(getPageArea());
    addView(page);
    addView(button);
    pages_.push_back(page);
    buttons_.push_back(button);
    if (current_ < 0) current_ = 0;
    showSelection();
    return true;
}

CView* CTabView::getTabView(int index) const {
    return (index >= 0 && index < getNbTabs()) ? pages_[size_t(index)] : nullptr;
}

CControl* CTabView::getTabButton(int index) const {
    return (index >= 0 && index < getNbTabs()) ? buttons_[size_t(index)] : nullptr;
}

bool CTabView::selectTab(int index) {
    if (index < 0 || index >= getNbTabs()) return false;
    current_ = index;
    showSelection();
    return true;
}

void CTabView::showSelection() {
    for (int i = 0; i < getNbTabs(); ++i) {
        pages_[size_t(i)]->setVisible(i == current_);
        buttons_[size_t(i)]->setValue(i == current_ ? 1.0f : 0.0f);
    }
}

void CTabView::valueChanged(CControl* control) {
    for (int i = 0; i < getNbTabs(); ++i) {
        if (buttons_[size_t(i)] != control) continue;
        const bool changed = i != current_;
        // A click on the selected tab keeps it selected.
        selectTab(i);
        if (changed && tabChangeListener_ != nullptr) tabChangeListener_->valueChanged(control);
        return;
    }
}

}  // namespace tvx
