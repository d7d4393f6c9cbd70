#include "gui/c_view_container.h"

#include "gui_test_support.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

// A view that counts its deaths and records the mouse presses it gets.
class ProbeView : public CView {
public:
    ProbeView(const CRect& size, int* deaths = nullptr, CMouseEventResult answer = kMouseEventHandled)
        : CView(size), deaths_(deaths), answer_(answer) {}
    ~ProbeView() override {
        if (deaths_) ++*deaths_;
    }
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override {
        presses.push_back(where);
        return answer_;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override {
        moves.push_back(where);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState&) override {
        releases.push_back(where);
        return kMouseEventHandled;
    }
    void draw(CDrawContext* context) override { context->fillRect(size_, color); }

    std::vector<CPoint> presses, moves, releases;
    CColor color = kBlackCColor;

private:
    int* deaths_;
    CMouseEventResult answer_;
};

}  // namespace

TEST(CViewContainer, OwnsItsChildrenAndDeletesThemWithItself) {
    int deaths = 0;
    auto* container = new CViewContainer({0, 0, 100, 100});
    auto* inner = new CViewContainer({10, 10, 50, 50});
    auto* a = new ProbeView({0, 0, 10, 10}, &deaths);
    auto* b = new ProbeView({0, 0, 10, 10}, &deaths);
    auto* c = new ProbeView({0, 0, 10, 10}, &deaths);
    container->addView(a);
    container->addView(inner);
    inner->addView(b);
    inner->addView(c);
    EXPECT_FALSE(container->addView(b));  // already has a parent
    EXPECT_FALSE(container->addView(nullptr));
    EXPECT_EQ(2, container->getNbViews());
    EXPECT_EQ(container, inner->getParentView());

    EXPECT_TRUE(inner->removeView(b));
    EXPECT_EQ(1, deaths);
    EXPECT_FALSE(inner->removeView(a));  // not a child of inner
    std::unique_ptr<CView> kept = inner->releaseView(c);
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(nullptr, kept->getParentView());
    kept.reset();
    EXPECT_EQ(2, deaths);

    inner->addView(new ProbeView({0, 0, 5, 5}, &deaths));
    delete container;
    EXPECT_EQ(4, deaths);
}

TEST(CViewContainer, MouseGoesToTheTopmostViewInItsOwnCoordinates) {
    HeadlessFrame ui(200, 200);
    auto* below = new ProbeView({10, 10, 90, 90});
    auto* group = new CViewContainer({50, 50, 150, 150});
    auto* inGroup = new ProbeView({10, 10, 40, 40});
    auto* hidden = new ProbeView({0, 0, 100, 100});
    ui.frame->addView(below);
    ui.frame->addView(group);
    group->addView(inGroup);
    group->addView(hidden);
    hidden->setVisible(false);

    // Inside the group's child: the point arrives in the group's coordinates.
    EXPECT_EQ(inGroup, ui.frame->getViewAt({70, 70}, true));
    ui.click({70, 70});
    ASSERT_EQ(1u, inGroup->presses.size());
    EXPECT_EQ(CPoint(20, 20), inGroup->presses[0]);
    EXPECT_EQ(CPoint(20, 20), inGroup->releases.at(0));
    EXPECT_EQ(CRect(60, 60, 90, 90), inGroup->getFrameRect());

    // The group covers `below` there, but has nothing under (55, 55)
    // that takes the press, so it falls through to the view below.
    ui.click({55, 55});
    ASSERT_EQ(1u, below->presses.size());
    EXPECT_EQ(CPoint(55, 55), below->presses[0]);

    // A disabled view is looked through as well.
    inGroup->setMouseEnabled(false);
    EXPECT_EQ(group, ui.frame->getViewAt({70, 70}, true));
    EXPECT_EQ(nullptr, ui.frame->getViewAt({195, 195}, true));
}

TEST(CViewContainer, AViewThatDeclinesAPressLeavesItToTheViewsBelow) {
    HeadlessFrame ui(100, 100);
    auto* below = new ProbeView({0, 0, 100, 100});
    auto* declining = new ProbeView({0, 0, 100, 40}, nullptr, kMouseEventNotHandled);
    ui.frame->addView(below);
    ui.frame->addView(declining);
    ui.press({20, 20});
    ui.moveTo({25, 30});
    ui.release({25, 30});
    EXPECT_EQ(1u, declining->presses.size());
    EXPECT_EQ(1u, below->presses.size());
    EXPECT_EQ(1u, below->moves.size());
    EXPECT_EQ(1u, below->releases.size());
    EXPECT_TRUE(declining->moves.empty());
}

TEST(CViewContainer, DrawsBackgroundThenChildrenClippedToThemselves) {
    HeadlessFrame ui(100, 100);
    ui.frame->setBackgroundColor({200, 200, 200, 255});
    auto* panel = new CViewContainer({20, 20, 80, 80});
    panel->setBackgroundColor({0, 0, 255, 255});
    // A 4 x 4 bitmap of red in the panel's corner, and a child that
    // reaches past the panel's right edge.
    panel->setBackground(std::make_shared<CBitmap>(4, 4, std::vector<uint32_t>(16, 0xffff0000u)));
    auto* child = new ProbeView({50, 10, 90, 20});
    child->color = kGreenCColor;
    ui.frame->addView(panel);
    panel->addView(child);
    auto* glass = new CViewContainer({0, 0, 100, 10});
    glass->setBackgroundColor(kBlackCColor);
    glass->setTransparency(true);
    ui.frame->addView(glass);

    ui.frame->idle();
    EXPECT_EQ(CColor(200, 200, 200, 255), ui.image.pixelAt(10, 10));
    EXPECT_EQ(CColor(200, 200, 200, 255), ui.image.pixelAt(5, 5));  // under the transparent container
    EXPECT_EQ(kRedCColor, ui.image.pixelAt(23, 23));
    EXPECT_EQ(kBlueCColor, ui.image.pixelAt(24, 24));
    EXPECT_EQ(kGreenCColor, ui.image.pixelAt(75, 35));
    EXPECT_EQ(CColor(200, 200, 200, 255), ui.image.pixelAt(85, 35));  // clipped by the panel
    ui.image.writePng((screenshotFolder() / "view_container.png").string());
}

}  // namespace tvx
