#include "gui/c_option_menu.h"

#include "headless_platform.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

// A main menu of the usual shape: entries, separators, a submenu with
// its own tag, and a submenu inside a submenu.
struct MenuFixture : ::testing::Test {
    MenuFixture() : ui(400, 300) {
        menu = new COptionMenu({0, 0, 400, 40}, &listener, 1049);
        menu->addEntry("Save Preset");    // 0
        menu->addEntry("Load Preset");    // 1
        menu->addSeparator();             // 2
        menu->addEntry("Init Preset");    // 3
        menu->addEntry("-");              // 4
        size = new COptionMenu({}, nullptr, 1050);
        for (const char* entry : {"100%", "125%", "150%", "175%", "200%"}) size->addEntry(entry);
        menu->addEntry(size, "Size");     // 5
        menu->addSeparator();             // 6
        settings = new COptionMenu({}, nullptr, 0);
        cc = new COptionMenu({}, nullptr, 1053);
        cc->addEntry("None");
        for (int i = 0; i < 120; ++i) cc->addEntry(std::to_string(i));
        settings->addEntry(cc, "Mod CC 1");
        menu->addEntry(settings, "Settings");  // 7
        ui.frame->addView(menu);
    }
    HeadlessFrame ui;
    RecordingListener listener;
    COptionMenu* menu;
    COptionMenu* size;
    COptionMenu* settings;
    COptionMenu* cc;
};

}  // namespace

TEST_F(MenuFixture, SeparatorsCountAsEntries) {
    EXPECT_EQ(8, menu->getNbEntries());
    EXPECT_TRUE(menu->getEntry(2)->isSeparator());
    EXPECT_TRUE(menu->getEntry(4)->isSeparator());
    EXPECT_FALSE(menu->getEntry(3)->isSeparator());
    EXPECT_EQ("Init Preset", menu->getEntry(3)->title);
    EXPECT_EQ(size, menu->getSubMenu(5));
    EXPECT_EQ(nullptr, menu->getEntry(8));
    EXPECT_EQ(nullptr, menu->getEntry(-1));

    ui.platform->answer = [this](COptionMenu&, const CPoint&) { return PopupResult{menu, 3}; };
    ui.click({100, 20});
    EXPECT_EQ(1, ui.platform->popups);
    ASSERT_EQ(1u, listener.changes.size());
    EXPECT_EQ(menu, listener.changes[0]);
    EXPECT_FLOAT_EQ(3.0f, listener.values[0]);
    EXPECT_EQ(3, menu->getCurrent());
    // The same entry again is a new choice.
    ui.click({100, 20});
    EXPECT_EQ(2u, listener.changes.size());
}

TEST_F(MenuFixture, SubmenuChoicesCarryTheSubmenusTagAndIndex) {
    ui.platform->answer = [this](COptionMenu&, const CPoint&) { return PopupResult{size, 4}; };
    ui.click({10, 10});
    ASSERT_EQ(1u, listener.changes.size());
    EXPECT_EQ(1050, listener.changes[0]->getTag());
    EXPECT_FLOAT_EQ(4.0f, listener.values[0]);
    int index = -1;
    EXPECT_EQ(size, menu->getLastItemMenu(index));
    EXPECT_EQ(4, index);

    ui.platform->answer = [this](COptionMenu&, const CPoint&) { return PopupResult{cc, 1}; };
    ui.click({10, 10});
    ASSERT_EQ(2u, listener.changes.size());
    EXPECT_EQ(1053, listener.changes[1]->getTag());
    EXPECT_FLOAT_EQ(1.0f, listener.values[1]);
}

TEST_F(MenuFixture, OnlyRealEntriesCanBeChosen) {
    for (PopupResult bad : {PopupResult{}, PopupResult{menu, 2}, PopupResult{menu, 5}, PopupResult{menu, 99},
                            PopupResult{size, -1}}) {
        ui.platform->answer = [bad](COptionMenu&, const CPoint&) { return bad; };
        ui.click({10, 10});
    }
    COptionMenu stranger({}, &listener, 5);
    stranger.addEntry("x");
    menu->choose(&stranger, 0);
    menu->setEntryEnabled(0, false);
    menu->choose(menu, 0);
    EXPECT_TRUE(listener.changes.empty());
    // The right button leaves the press to what lies below.
    ui.click({10, 10}, kRButton);
    EXPECT_EQ(5, ui.platform->popups);
}

TEST_F(MenuFixture, CheckMarksAreKeptPerEntry) {
    size->checkEntryAlone(2);
    EXPECT_TRUE(size->isCheckEntry(2));
    size->checkEntryAlone(4);
    EXPECT_FALSE(size->isCheckEntry(2));
    EXPECT_TRUE(size->isCheckEntry(4));
    cc->checkEntry(0, true);
    cc->checkEntry(5, true);
    EXPECT_TRUE(cc->isCheckEntry(0));
    EXPECT_TRUE(cc->isCheckEntry(5));
    cc->checkEntry(0, false);
    EXPECT_FALSE(cc->isCheckEntry(0));
    EXPECT_FALSE(menu->checkEntry(2, true));  // a separator takes no check
    EXPECT_FALSE(menu->isCheckEntry(2));
    EXPECT_FALSE(size->checkEntry(9, true));
}

TEST(COptionMenu, RebuildsBeforeItOpensAndPopsUpUnderItself) {
    struct FileMenu : COptionMenu {
        FileMenu() : COptionMenu({100, 50, 200, 66}, nullptr, 1055) {}
        void beforePopup() override {
            removeAllEntry();
            ++opened;
            for (int i = 0; i < opened; ++i) addEntry("Preset " + std::to_string(i));
        }
        int opened = 0;
    };
    HeadlessFrame ui(300, 200);
    auto* group = new CViewContainer({20, 30, 300, 200});
    auto* menu = new FileMenu();
    group->addView(menu);
    ui.frame->addView(group);
    int seen = 0;
    ui.platform->answer = [&seen](COptionMenu& m, const CPoint&) {
        seen = m.getNbEntries();
        return PopupResult{};
    };
    ui.click({150, 90});
    EXPECT_EQ(1, seen);
    EXPECT_EQ(CPoint(120, 96), ui.platform->popupWhere);
    ui.click({150, 90});
    EXPECT_EQ(2, seen);
}

TEST(COptionMenu, ClosedItShowsTheCurrentEntryOrItsShortForm) {
    COptionMenu menu({0, 0, 80, 16}, nullptr, 1004);
    for (const char* type : {"--", "Lowpass 24", "Lowpass 12"}) menu.addEntry(type);
    menu.setEntryShortTitle(1, "LP24");
    menu.setValue(1.0f);
    EXPECT_EQ("LP24", menu.getDisplayText());
    menu.setValue(2.0f);
    EXPECT_EQ("Lowpass 12", menu.getDisplayText());
    menu.setValue(0.0f);
    EXPECT_EQ("--", menu.getDisplayText());
    // A value naming no entry shows nothing rather than a wrong entry.
    menu.setValue(9.0f);
    EXPECT_EQ(-1, menu.getCurrent());
    EXPECT_EQ("", menu.getDisplayText());
    EXPECT_FALSE(menu.setCurrent(3));
    EXPECT_TRUE(menu.setCurrent(2));
    EXPECT_EQ(2, menu.getCurrent());
}

}  // namespace tvx
