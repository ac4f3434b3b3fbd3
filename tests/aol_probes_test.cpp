// Telling the client's version, the signed-on name and running menu commands,
// against hand-built window trees.
#include "aol/probes.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace qm::aol {
namespace {

using Menus = std::vector<std::vector<std::string>>;

class Probes : public ::testing::Test {
protected:
    // A main window whose menu bar holds one menu per list of item texts,
    // their ids counting from 100.
    void Client(const Menus& menus) {
        p.DestroyWindow(main);
        main = p.CreateWindow("AOL Frame25", "America Online", 0, [this](Hwnd, const sim::Message& m) {
            if (m.msg == Msg::Command) commands.push_back(m.wparam);
            return false;
        });
        mdi = p.CreateWindow("MDIClient", "", main);
        std::vector<sim::MenuItem> bar;
        std::uint32_t id = 100;
        for (const auto& texts : menus) {
            std::vector<sim::MenuItem> items;
            for (const auto& t : texts) items.push_back(sim::MenuItem{t, id++});
            bar.push_back(sim::MenuItem{"menu", 0, p.CreateMenu(items)});
        }
        p.SetMenu(main, p.CreateMenu(bar));
    }
    Hwnd Doc(const std::string& caption) { return p.CreateWindow("AOL Child", caption, mdi); }

    sim::SimPlatform p;
    Hwnd main = 0, mdi = 0;
    std::vector<std::uint32_t> commands;
};

TEST_F(Probes, NoClientTellsNothing) {
    EXPECT_EQ(FindAolWindow(p), 0u);
    EXPECT_EQ(GetAolVersion(p), "foreign");
    EXPECT_EQ(FindWelcomeWindow(p), 0u);
    EXPECT_EQ(GetScreenName(p), "");
    EXPECT_EQ(GetCaption(p, 0), "");
}

TEST_F(Probes, VersionIsTheFirstItemInMenuOrderThatMatchesAPattern) {
    const struct {
        Menus menus;
        const char* version;
    } cases[] = {
        {{{"&Open", "E&xit"}, {"Help", "What's New in AOL 8.0"}}, "8.0"},
        {{{"What's New in AOL 7.0"}}, "7.0"},
        {{{"What's New in AOL 6.0"}}, "6.0"},
        {{{"What's New in AOL 5.0"}}, "5.0"},
        {{{"What's New in AOL 4.0"}}, "4.0"},
        {{{"Send an Instant Message"}}, "3.0"},
        {{{"LOGGING..."}}, "2.5"},
        {{{"What's New in AOL 9.0"}, {"E&xit"}}, "foreign"},
        {{{"&New", "Send an Instant Message"}, {"What's New in AOL 7.0"}}, "3.0"},
        {{{"&Help: WHAT'S NEW IN AOL 8.0?"}}, "8.0"},
        // An item is read into 100 bytes: 99 of text.
        {{{std::string(79, '.') + "What's New in AOL 8.0", std::string(78, '.') + "What's New in AOL 6.0"}}, "6.0"},
    };
    for (const auto& c : cases) {
        Client(c.menus);
        EXPECT_EQ(GetAolVersion(p), c.version) << c.menus.back().back();
    }
    p.SetMenusUnreadable(true);
    EXPECT_EQ(GetAolVersion(p), "foreign");
}

TEST_F(Probes, WelcomeWindowAndScreenNameFromItsCaption) {
    Client({});
    Doc("Lobby");
    Doc("welcome, lower!");
    const Hwnd third = Doc("");
    const struct {
        const char* caption;
        bool welcome;
        const char* name;
    } cases[] = {
        {"Welcome, Joe Blow!", true, "Joe Blow"}, {"Welcome, A b!c!", true, "A b"}, {"Welcome, !", true, ""},
        {"Welcome, NoBang", true, ""},            {"Welcome,Joe!", false, ""},
    };
    for (const auto& c : cases) {
        p.SetTextDirect(third, c.caption);
        EXPECT_EQ(FindWelcomeWindow(p), c.welcome ? third : 0u) << c.caption;
        EXPECT_EQ(GetScreenName(p), c.name) << c.caption;
    }
}

TEST_F(Probes, MenuCommandGoesToTheFirstItemContainingTheText) {
    Client({{"&Open", "&Download Manager", "Download Manager Help"}, {"&Download Manager"}});
    EXPECT_EQ(GetCaption(p, main), "America Online");
    RunAolMenuItem(p, "&download manager");
    RunAolMenuItem(p, "no such item");
    EXPECT_EQ(commands, (std::vector<std::uint32_t>{101}));
}

}  // namespace
}  // namespace qm::aol
