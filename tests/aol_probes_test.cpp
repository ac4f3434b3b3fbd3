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
    // The client's main window, anew, with one menu per list of item texts
    // (their ids count from 100).
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
    sim::SimPlatform p;
    Hwnd main = 0, mdi = 0;
    std::vector<std::uint32_t> commands;
};

TEST_F(Probes, VersionIsTheFirstItemInMenuOrderThatMatchesAPatternInAnyCase) {
    EXPECT_EQ(FindAolWindow(p), 0u);
    EXPECT_EQ(GetAolVersion(p), "foreign") << "no client";
    const std::string pad(78, '.');  // an item is read into 100 bytes: 99 of text
    const std::pair<Menus, const char*> cases[] = {
        // Each version's own menus: aol_scenario_test, against the stand-in client.
        {{{"&Open", "E&xit"}, {"Help", "What's New in AOL 8.0"}}, "8.0"}, {{{"LOGGING..."}}, "2.5"},
        {{{"What's New in AOL 9.0"}, {"E&xit"}}, "foreign"}, {{{"&Help: WHAT'S NEW IN AOL 8.0?"}}, "8.0"},
        {{{"&New", "Send an Instant Message"}, {"What's New in AOL 7.0"}}, "3.0"},
        {{{"." + pad + "What's New in AOL 8.0", pad + "What's New in AOL 6.0"}}, "6.0"},
    };
    for (const auto& [menus, version] : cases) {
        Client(menus);
        EXPECT_EQ(GetAolVersion(p), version) << menus.back().back();
    }
    p.SetMenusUnreadable(true);
    EXPECT_EQ(GetAolVersion(p), "foreign");
}

TEST_F(Probes, WelcomeWindowIsTheFirstDocumentCaptionedWelcomeAndTheNameEndsAtItsBang) {
    EXPECT_EQ(FindWelcomeWindow(p), 0u);
    EXPECT_EQ(GetScreenName(p), "") << "no client";
    Client({});
    p.CreateWindow("AOL Child", "Lobby", mdi);
    p.CreateWindow("AOL Child", "welcome, lower!", mdi);
    const Hwnd third = p.CreateWindow("AOL Child", "", mdi);
    const std::tuple<const char*, Hwnd, const char*> cases[] = {
        {"Welcome, Joe Blow!", third, "Joe Blow"}, {"Welcome, A b!c!", third, "A b"}, {"Welcome, !", third, ""},
        {"Welcome, NoBang", third, ""}, {"Welcome,Joe!", 0, ""},
    };
    for (const auto& [caption, welcome, name] : cases) {
        p.SetTextDirect(third, caption);
        EXPECT_EQ(FindWelcomeWindow(p), welcome) << caption;
        EXPECT_EQ(GetScreenName(p), name) << caption;
    }
}

TEST_F(Probes, MenuCommandGoesToTheFirstItemContainingTheText) {
    Client({{"&Open", "&Download Manager", "Download Manager Help"}, {"&Download Manager"}});
    EXPECT_EQ(GetCaption(p, main), "America Online");
    EXPECT_EQ(GetCaption(p, 0), "");
    RunAolMenuItem(p, "&download manager");
    RunAolMenuItem(p, "no such item");
    EXPECT_EQ(commands, (std::vector<std::uint32_t>{101}));
}

}  // namespace
}  // namespace qm::aol
