// Telling the client's version, the signed-on name and running menu commands,
// against hand-built window trees.
#include "aol/probes.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace qm::aol {
namespace {

using sim::MenuItem;
using sim::Message;

class Probes : public ::testing::Test {
protected:
    // A main window whose menu bar holds one menu per list of item texts.
    void Client(const std::vector<std::vector<std::string>>& menus) {
        main = p.CreateWindow("AOL Frame25", "America Online", 0, [this](Hwnd, const Message& m) {
            if (m.msg == Msg::Command) commands.push_back(m.wparam);
            return false;
        });
        mdi = p.CreateWindow("MDIClient", "", main);
        std::vector<MenuItem> bar;
        std::uint32_t id = 100;
        for (const auto& texts : menus) {
            std::vector<MenuItem> items;
            for (const auto& t : texts) items.push_back(MenuItem{t, id++});
            bar.push_back(MenuItem{"menu", 0, p.CreateMenu(items)});
        }
        p.SetMenu(main, p.CreateMenu(bar));
    }
    Hwnd Doc(const std::string& caption) { return p.CreateWindow("AOL Child", caption, mdi); }

    sim::SimPlatform p;
    Hwnd main = 0, mdi = 0;
    std::vector<std::uint32_t> commands;
};

TEST_F(Probes, NoClientRunning) {
    EXPECT_EQ(FindAolWindow(p), 0u);
    EXPECT_EQ(GetAolVersion(p), "foreign");
    EXPECT_EQ(FindWelcomeWindow(p), 0u);
    EXPECT_EQ(GetScreenName(p), "");
    RunAolMenuItem(p, "&Download Manager");
    EXPECT_TRUE(commands.empty());
}

TEST_F(Probes, EachVersionByItsMenuItem) {
    const std::pair<const char*, const char*> cases[] = {
        {"What's New in AOL 8.0", "8.0"}, {"What's New in AOL 7.0", "7.0"}, {"What's New in AOL 6.0", "6.0"},
        {"What's New in AOL 5.0", "5.0"}, {"What's New in AOL 4.0", "4.0"}, {"Send an Instant Message", "3.0"},
        {"LOGGING...", "2.5"},          {"What's New in AOL 9.0", "foreign"},
    };
    for (const auto& [item, version] : cases) {
        p.DestroyWindow(main);
        Client({{"&Open", "E&xit"}, {"Help", item}});
        EXPECT_EQ(GetAolVersion(p), version) << item;
    }
}

TEST_F(Probes, EarlierItemWinsOverBetterPattern) {
    Client({{"&New", "Send an Instant Message"}, {"What's New in AOL 7.0"}});
    EXPECT_EQ(GetAolVersion(p), "3.0");
}

TEST_F(Probes, PatternsMatchInAnyLetterCaseInsideLongerTexts) {
    Client({{"&Help: WHAT'S NEW IN AOL 8.0?"}});
    EXPECT_EQ(GetAolVersion(p), "8.0");
}

TEST_F(Probes, OnlyTheFirst99BytesOfAnItemAreSeen) {
    Client({{std::string(79, '.') + "What's New in AOL 8.0", std::string(78, '.') + "What's New in AOL 6.0"}});
    EXPECT_EQ(GetAolVersion(p), "6.0");
}

TEST_F(Probes, UnreadableMenusReadAsForeign) {
    Client({{"What's New in AOL 8.0"}});
    p.SetMenusUnreadable(true);
    EXPECT_EQ(GetAolVersion(p), "foreign");
}

TEST_F(Probes, WelcomeWindowFoundWhereverItIs) {
    Client({});
    Doc("Lobby");
    Doc("welcome, lower!");
    Hwnd welcome = Doc("Welcome, Joe Blow!");
    EXPECT_EQ(FindWelcomeWindow(p), welcome);
    EXPECT_EQ(GetScreenName(p), "Joe Blow");
}

TEST_F(Probes, ScreenNameEdgeCases) {
    Client({});
    Hwnd welcome = Doc("Welcome, !");
    EXPECT_EQ(GetScreenName(p), "");
    p.SetTextDirect(welcome, "Welcome, NoBang");
    EXPECT_EQ(GetScreenName(p), "");
    EXPECT_EQ(FindWelcomeWindow(p), welcome);
    p.SetTextDirect(welcome, "Welcome, A b!c!");
    EXPECT_EQ(GetScreenName(p), "A b");
    p.SetTextDirect(welcome, "Welcome,Joe!");
    EXPECT_EQ(GetScreenName(p), "");
}

TEST_F(Probes, MenuCommandGoesToTheFirstMatchingItem) {
    Client({{"&Open", "&Download Manager", "Download Manager Help"}, {"&Download Manager"}});
    RunAolMenuItem(p, "&download manager");
    EXPECT_EQ(commands, (std::vector<std::uint32_t>{101}));
    RunAolMenuItem(p, "no such item");
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(Probes, CaptionOfNothingIsEmpty) {
    Client({});
    EXPECT_EQ(GetCaption(p, 0), "");
    EXPECT_EQ(GetCaption(p, main), "America Online");
}

}  // namespace
}  // namespace qm::aol
