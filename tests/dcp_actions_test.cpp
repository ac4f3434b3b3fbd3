// Disconnect protection's actions on the stand-in client, and on a hand-built
// toolbar where the exact messages matter.
#include "dcp/actions.h"

#include <gtest/gtest.h>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm::dcp {
namespace {

using aolsim::WindowEvent;
using Lines = std::vector<std::string>;

class Actions : public ::testing::Test {
protected:
    void SignedOnAt(const char* version) {
        client.Start(version);
        client.SignOn("Joe Blow");
    }
    // Virtual seconds the wait takes.
    double Took(void (*wait)(Platform&)) {
        const double start = p.Now();
        wait(p);
        return p.Now() - start;
    }
    sim::SimPlatform p;
    aolsim::SimClient client{p};
};

TEST_F(Actions, SignOnWindowIsFoundOnlyWhenSignedOffAndItsBoxGetsThePassword) {
    SignedOnAt("8.0");
    const Hwnd lookalike = client.OpenDocument("Sign On", {.icons = 1, .statics = 1, .comboboxes = 1});
    int looksInside = 0;
    p.SetHook([&](sim::Op op, Hwnd w) { looksInside += op == sim::Op::FindWindowEx && p.ClassOf(w) == "AOL Child"; });
    EXPECT_EQ(FindSignOnWindow(p), 0u);
    EXPECT_EQ(looksInside, 0) << "signed on: no document is looked into";
    p.SetHook(nullptr);

    client.DestroyWindow(lookalike);
    client.Disconnect();
    // A document in front of it: the monitor's password test.
    EXPECT_EQ(FindSignOnWindow(p), client.SignOnWindow());
    TypeSignOnPassword(p, "s3cr\xE9t");
    EXPECT_EQ(client.PasswordsTyped(), Lines{"s3cr\xE9t"});
    EXPECT_TRUE(client.Connecting());
}

TEST_F(Actions, WaitForRoomEndsAtTheBoundASignOffTheAlertTheRoomOrTheClientsEnd) {
    SignedOnAt("7.0");
    client.SetDelays({.room = 86400});
    EnterKeyword(p, "Lobby");
    EXPECT_NEAR(Took(WaitForRoom), bounds::kRoomSeconds, 0.1);
    p.Schedule(3, [&] { client.SignOff(); });
    EXPECT_NEAR(Took(WaitForRoom), 3.0, 0.1);

    client.SignOn("Joe Blow");
    client.AlertAfterKeywords(1);
    EnterKeyword(p, "Lobby");
    EXPECT_NEAR(Took(WaitForRoom), 0.0, 0.1);
    EXPECT_NE(client.AlertWindow(), 0u);
    aol::DismissAolAlert(p);
    client.SetDelays({.room = 4});
    EnterKeyword(p, "Lobby");
    // 4 s after the Enter, which came 0.4 s before the keyword ended.
    EXPECT_NEAR(Took(WaitForRoom), 3.6, 0.1);
    EXPECT_NE(client.Room("Lobby"), 0u);

    SignedOnAt("7.0");
    client.VanishAfter(2);
    EXPECT_NEAR(Took(WaitForRoom), 2.0, 0.1);
}

TEST_F(Actions, DownloadManagerWithoutASecondIconIsStillClosed) {
    SignedOnAt("foreign");
    client.OpenDocument("Download Manager", {.icons = 1});
    ResumeDownloadLate(p);
    EXPECT_TRUE(client.IconPresses().empty());
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

using Heard = std::vector<std::pair<int, Msg>>;            // child, message
using Keys = std::vector<std::pair<Hwnd, std::uint32_t>>;  // menu, character

// A toolbar whose children record what they hear; a click on any opens a
// pop-up menu `menuDelay` later (never when negative).
struct HandBuiltToolbar {
    explicit HandBuiltToolbar(double menuDelay) {
        main = p.CreateWindow("AOL Frame25", "America Online", 0);
        Hwnd bar = p.CreateWindow("_AOL_Toolbar", "", p.CreateWindow("AOL Toolbar", "", main));
        int n = 0;
        for (const char* cls : {"_AOL_Icon", "_AOL_Static", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon"})
            p.CreateWindow(cls, "", bar, [=, this, child = n++](Hwnd, const sim::Message& m) {
                heard.push_back({child, m.msg});
                if (m.msg == Msg::LButtonUp && menuDelay >= 0) p.Schedule(menuDelay, [this] { OpenMenu(); });
                return true;
            });
    }
    void OpenMenu() {
        menus.push_back(p.CreateWindow("#32768", "", 0, [this](Hwnd self, const sim::Message& m) {
            if (m.msg == Msg::Char) keys.push_back({self, m.wparam});
            return true;
        }));
        p.BringToFront(menus.back());
    }
    sim::SimPlatform p;
    Hwnd main = 0;
    std::vector<Hwnd> menus;
    Heard heard;
    Keys keys;
};

TEST(Toolbar, ClickStepsThroughSiblingsOfAnyClassAndKeysOnlyTheNewMenu) {
    HandBuiltToolbar t(0.5);
    ClickToolbarMenu(t.p, 0, "b");
    ClickToolbarMenu(t.p, 2, "\xC9t\xE9");  // the first click's menu is still open
    t.p.ProcessEvents();
    EXPECT_EQ(t.heard, (Heard{{0, Msg::LButtonDown}, {0, Msg::LButtonUp}, {2, Msg::LButtonDown}, {2, Msg::LButtonUp}}));
    ASSERT_EQ(t.menus.size(), 2u);
    EXPECT_EQ(t.keys, (Keys{{t.menus[0], 'b'}, {t.menus[1], 0xC9u}})) << "the first character, in ANSI";
}

TEST(Toolbar, MenuWaitEndsWithoutAKey) {
    const struct {
        const char* what;
        double menuDelay, menuBeforeCloses, clientGoes, ends;
        std::size_t menus;
    } cases[] = {
        {"the menu open before closes", -1, 1, 0, 1, 1},
        {"the new one comes too late", bounds::kPopupMenuSeconds + 2, 0, 0, bounds::kPopupMenuSeconds, 2},
        {"the client goes", -1, 0, 1.5, 1.5, 0},
    };
    for (const auto& c : cases) {
        HandBuiltToolbar t(c.menuDelay);
        if (c.menus > 0) t.OpenMenu();
        if (c.menuBeforeCloses > 0) t.p.Schedule(c.menuBeforeCloses, [&] { t.p.DestroyWindow(t.menus[0]); });
        if (c.clientGoes > 0) t.p.Schedule(c.clientGoes, [&] { t.p.DestroyWindow(t.main); });
        ClickToolbarMenu(t.p, 0, "b");
        EXPECT_NEAR(t.p.Now(), c.ends, 0.1) << c.what;
        t.p.RunFor(5);
        EXPECT_EQ(t.menus.size(), c.menus) << c.what;
        EXPECT_TRUE(t.keys.empty()) << c.what;
    }
}

}  // namespace
}  // namespace qm::dcp
