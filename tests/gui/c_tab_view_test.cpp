#include "gui/c_tab_view.h"

#include "gui/c_on_off_button.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

// A tab button drawn as a block: light when selected.
class BlockTab : public COnOffButton {
public:
    explicit BlockTab() : COnOffButton({}, nullptr, 0) {}
    void draw(CDrawContext* context) override {
        context->fillRect(size_, isOn() ? CColor(240, 240, 240, 255) : CColor(60, 60, 60, 255));
    }
};

CViewContainer* page(const CColor& color) {
    auto* container = new CViewContainer({});
    container->setBackgroundColor(color);
    return container;
}

}  // namespace

TEST(CTabView, ClickingATabShowsItsPage) {
    HeadlessFrame ui(1056, 624);
    auto* tabs = new CTabView({8, 440, 1048, 584}, {48, 48}, kPositionLeft);
    RecordingListener changes;
    tabs->setTabChangeListener(&changes);
    ASSERT_TRUE(tabs->addTab(page(kRedCColor), new BlockTab()));
    ASSERT_TRUE(tabs->addTab(page(kGreenCColor), new BlockTab()));
    ASSERT_TRUE(tabs->addTab(page(kBlueCColor), new BlockTab()));
    EXPECT_FALSE(tabs->addTab(nullptr, new BlockTab()));
    ui.frame->addView(tabs);
    EXPECT_EQ(3, tabs->getNbTabs());
    EXPECT_EQ(CRect(48, 0, 1040, 144), tabs->getPageArea());
    EXPECT_EQ(CRect(0, 96, 48, 144), tabs->getTabButton(2)->getViewSize());
    EXPECT_EQ(0, tabs->getCurrentTab());

    ui.frame->idle();
    EXPECT_EQ(kRedCColor, ui.image.pixelAt(500, 500));
    EXPECT_EQ(CColor(240, 240, 240, 255), ui.image.pixelAt(30, 460));

    ui.click({30, 440 + 96 + 20});  // the third tab
    EXPECT_EQ(2, tabs->getCurrentTab());
    EXPECT_TRUE(tabs->getTabView(2)->isVisible());
    EXPECT_FALSE(tabs->getTabView(0)->isVisible());
    EXPECT_FLOAT_EQ(0.0f, tabs->getTabButton(0)->getValue());
    EXPECT_FLOAT_EQ(1.0f, tabs->getTabButton(2)->getValue());
    ASSERT_EQ(1u, changes.changes.size());
    ui.frame->idle();
    EXPECT_EQ(kBlueCColor, ui.image.pixelAt(500, 500));
    EXPECT_EQ(CColor(60, 60, 60, 255), ui.image.pixelAt(30, 460));
    EXPECT_EQ(CColor(240, 240, 240, 255), ui.image.pixelAt(30, 560));

    // The selected tab clicked again stays selected and changes nothing.
    ui.click({30, 560});
    EXPECT_EQ(2, tabs->getCurrentTab());
    EXPECT_FLOAT_EQ(1.0f, tabs->getTabButton(2)->getValue());
    EXPECT_EQ(1u, changes.changes.size());

    EXPECT_TRUE(tabs->selectTab(1));
    EXPECT_FALSE(tabs->selectTab(3));
    EXPECT_FALSE(tabs->selectTab(-1));
    EXPECT_EQ(1, tabs->getCurrentTab());
    ui.frame->idle();
    EXPECT_EQ(kGreenCColor, ui.image.pixelAt(500, 500));
}

}  // namespace tvx
