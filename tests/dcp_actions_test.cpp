// Disconnect protection's actions on the stand-in client, and on a hand-built
// toolbar where the exact messages matter.
#include "dcp/actions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm::dcp {
namespace {

using aolsim::IconPress;
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
    // A document whose children are of these classes, in this order.
    Hwnd Document(const std::string& caption, const std::vector<const char*>& children) {
        const Hwnd doc = client.OpenDocument(caption, {});
        for (const char* cls : children) p.CreateWindow(cls, "", doc);
        return doc;
    }
    // Every window text that holds the text.
    Lines Showing(const std::string& text) {
        Lines found;
        for (std::vector<Hwnd> todo = p.ChildrenOf(0); !todo.empty();) {
            const Hwnd w = todo.back();
            todo.pop_back();
            if (p.TextOf(w).find(text) != std::string::npos) found.push_back(p.ClassOf(w));
            for (Hwnd child : p.ChildrenOf(w)) todo.push_back(child);
        }
        return found;
    }
    sim::SimPlatform p;
    aolsim::SimClient client{p};
};

const std::vector<const char*> kSignOnShape = {"_AOL_Static", "_AOL_Combobox", "_AOL_Static", "_AOL_Edit",
                                               "_AOL_Icon",   "_AOL_Icon",     "_AOL_Icon",   "_AOL_Icon"};

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
    client.OpenDocument("Write Mail", {.icons = 2, .statics = 1, .comboboxes = 1, .edits = 1});
    // A document in front of it: the monitor's password test.
    EXPECT_EQ(FindSignOnWindow(p), client.SignOnWindow());
    TypeSignOnPassword(p, "s3cr\xE9t");
    EXPECT_EQ(client.PasswordsTyped(), Lines{"s3cr\xE9t"});
    EXPECT_TRUE(client.Connecting());
}

// Documents that are not the sign-on window beyond doubt: the password goes
// nowhere, whatever else the client shows.
TEST_F(Actions, PasswordGoesIntoNoDocumentThatIsNotTheSignOnWindowBeyondDoubt) {
    const struct {
        const char* what;
        bool signedOn, room;
        std::vector<const char*> decoy;
    } cases[] = {
        {"an instant message in front, the welcome window closed", true, false,
         {"_AOL_Icon", "_AOL_Combobox", "_AOL_Static", "_AOL_Edit"}},
        {"the parts of a sign-on window in another order", true, false,
         {"_AOL_Icon", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon", "_AOL_Static", "_AOL_Combobox", "_AOL_Static",
          "_AOL_Edit"}},
        {"the sign-on window's shape and one icon more", true, false,
         {"_AOL_Static", "_AOL_Combobox", "_AOL_Static", "_AOL_Edit", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon",
          "_AOL_Icon", "_AOL_Icon"}},
        {"the sign-on window's shape behind a list", true, false,
         {"_AOL_Listbox", "_AOL_Static", "_AOL_Combobox", "_AOL_Static", "_AOL_Edit", "_AOL_Icon", "_AOL_Icon",
          "_AOL_Icon", "_AOL_Icon"}},
        {"the sign-on window's shape while a room is open", true, true, kSignOnShape},
        {"the sign-on window's shape beside the sign-on window", false, false, kSignOnShape},
    };
    for (const auto& c : cases) {
        SignedOnAt("8.0");
        if (c.room) client.OpenRoom("Lobby", "half a sent");
        if (!c.signedOn) client.SignOff();
        client.DestroyWindow(client.WelcomeWindow());
        Document("Joe Blow: Instant Message", c.decoy);
        EXPECT_EQ(FindSignOnWindow(p), 0u) << c.what;
        TypeSignOnPassword(p, "hunter2");
        EXPECT_EQ(Showing("hunter2"), Lines{}) << c.what;
        EXPECT_EQ(client.PasswordsTyped(), Lines{}) << c.what;
    }
}

TEST_F(Actions, SignOnWindowBehindAnInstantMessageGetsThePasswordInItsOwnBox) {
    SignedOnAt("5.0");
    client.SignOff();
    Document("Joe Blow: Instant Message", {"_AOL_Icon", "_AOL_Combobox", "_AOL_Static", "_AOL_Edit"});
    TypeSignOnPassword(p, "  \"quoted\" ");
    EXPECT_EQ(client.PasswordsTyped(), Lines{"  \"quoted\" "});
    EXPECT_EQ(Showing("quoted"), Lines{}) << "the box is gone with the sign-on window";
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

// A client that lost its connection in the middle of a download and an
// upload, signed on again.
class Resume : public Actions {
protected:
    void BrokenOffAt(const char* version) {
        SignedOnAt(version);
        client.StartDownload("big.zip", 40, aolsim::Client::RemainingText(3));
        client.StartUpload("pics.zip", 12, aolsim::Client::RemainingText(9));
        client.Disconnect();
        client.SignOn("Joe Blow");
    }
};

TEST_F(Resume, LateDownloadGoesThroughTheMenuBarsKeysWhereTheMenusCannotBeRead) {
    for (const char* version : {"6.0", "7.0", "8.0"}) {
        BrokenOffAt(version);
        p.SetMenusUnreadable(true);
        const auto commands = static_cast<std::ptrdiff_t>(client.MenuCommands().size());
        const int presses = client.DownloadResumePresses();
        auto closings = [&] { return std::ranges::count(client.Captions(WindowEvent::Closed), "Download Manager"); };
        const auto closed = closings();
        ResumeDownloadLate(p);
        EXPECT_EQ(Lines(client.MenuCommands().begin() + commands, client.MenuCommands().end()),
                  Lines{"&Download Manager"})
            << version << ": Alt+F, D, and nothing else";
        EXPECT_EQ(client.DownloadResumePresses(), presses + 1) << version;
        EXPECT_NE(client.DownloadWindow(), 0u) << version;
        EXPECT_EQ(closings(), closed + 1) << version;
        EXPECT_EQ(client.Popup(), 0u) << version;
        p.SetMenusUnreadable(false);
    }
}

TEST_F(Resume, MenuBarWithoutTheItemIsLeftClosedAndNothingIsPressed) {
    BrokenOffAt("foreign");  // its File menu has no "&Download Manager"
    p.SetMenusUnreadable(true);
    ResumeDownloadLate(p);
    EXPECT_NEAR(p.Now(), bounds::kPopupKeySeconds, 0.1) << "the menu was given its time to take the key";
    p.ProcessEvents();
    EXPECT_EQ(client.Popup(), 0u);
    EXPECT_TRUE(client.MenuCommands().empty());
    EXPECT_TRUE(client.IconPresses().empty());
}

TEST_F(Resume, UploadIconIsPressedInTheOutboxNotInTheRoomInFront) {
    BrokenOffAt("6.0");
    client.OpenRoom("Lobby", "half a sent");
    p.Schedule(1, [&] { client.OpenRoom("Town Square"); });  // in front while the outbox is looked for
    ResumeUploadLate(p);
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Mail Waiting to Be Sent", 4, true}}));
    EXPECT_EQ(client.UploadResumePresses(), 1);
}

// The click is queued behind a busy client: the menu opens long after we
// gave up on it.  It is closed, and no icon of any window is pressed.
TEST_F(Resume, ClickABusyClientOpensTooLateStopsTheResumeAndItsMenuIsClosed) {
    for (bool dropsTimedOutSends : {false, true}) {
        p.SetDropsTimedOutSends(dropsTimedOutSends);
        BrokenOffAt("5.0");
        client.OpenRoom("Lobby", "half a sent");
        const double start = p.Now();
        client.Hang(10);
        ResumeUploadEarly(p);
        EXPECT_NEAR(p.Now() - start, 10, 0.1) << "until the late menu showed";
        p.RunFor(60);
        EXPECT_EQ(client.ToolbarClicks().back(), 3) << dropsTimedOutSends;
        EXPECT_EQ(client.Popup(), 0u) << dropsTimedOutSends;
        EXPECT_TRUE(client.PopupPicks().empty()) << dropsTimedOutSends;
        EXPECT_TRUE(client.IconPresses().empty()) << dropsTimedOutSends;
        EXPECT_EQ(client.InputText(client.Room("Lobby")), "half a sent");
    }
}

using Heard = std::vector<std::pair<int, Msg>>;  // child (-1: the main window), message
struct Key {
    Hwnd menu;
    Msg msg;
    std::uint32_t code;
    bool operator==(const Key&) const = default;
};
using Keys = std::vector<Key>;

// A toolbar whose children record what they hear; a click on any opens a
// pop-up menu `menuDelay` later (never when negative).  The menus hear keys
// and stay open unless `menusTakeKeys`.
struct HandBuiltToolbar {
    explicit HandBuiltToolbar(double menuDelay, bool menusTakeKeys = false) : takesKeys(menusTakeKeys) {
        main = p.CreateWindow("AOL Frame25", "America Online", 0, [this](Hwnd, const sim::Message& m) {
            if (m.msg == Msg::CancelMode) heard.push_back({-1, m.msg});
            return false;
        });
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
            if (m.msg == Msg::Char || m.msg == Msg::KeyDown) keys.push_back({self, m.msg, m.wparam});
            if (m.msg == Msg::Char && takesKeys) p.DestroyWindow(self);
            return true;
        }));
        p.BringToFront(menus.back());
    }
    sim::SimPlatform p;
    bool takesKeys;
    Hwnd main = 0;
    std::vector<Hwnd> menus;
    Heard heard;
    Keys keys;
};

TEST(Toolbar, ClickStepsThroughSiblingsOfAnyClassAndKeysOnlyTheNewMenu) {
    HandBuiltToolbar t(0.5, true);
    t.OpenMenu();  // open before the clicks, and left alone
    EXPECT_TRUE(ClickToolbarMenu(t.p, 0, "b"));
    EXPECT_TRUE(ClickToolbarMenu(t.p, 2, "\xC9t\xE9"));
    t.p.ProcessEvents();
    EXPECT_EQ(t.heard, (Heard{{0, Msg::LButtonDown}, {0, Msg::LButtonUp}, {2, Msg::LButtonDown}, {2, Msg::LButtonUp}}));
    ASSERT_EQ(t.menus.size(), 3u);
    EXPECT_EQ(t.keys, (Keys{{t.menus[1], Msg::Char, 'b'}, {t.menus[2], Msg::Char, 0xC9u}})) << "the first character, in ANSI";
    EXPECT_TRUE(t.p.IsWindow(t.menus[0]));
}

TEST(Toolbar, MenuThatStaysOpenAfterItsKeyIsClosed) {
    HandBuiltToolbar t(0.5);
    EXPECT_FALSE(ClickToolbarMenu(t.p, 3, "D"));
    EXPECT_NEAR(t.p.Now(), 0.5 + bounds::kPopupKeySeconds, 0.1);
    t.p.ProcessEvents();
    ASSERT_EQ(t.menus.size(), 1u);
    EXPECT_EQ(t.keys, (Keys{{t.menus[0], Msg::Char, 'D'}, {t.menus[0], Msg::KeyDown, kVkEscape}}));
    EXPECT_EQ(t.heard.back(), (std::pair<int, Msg>{-1, Msg::CancelMode}));
}

TEST(Toolbar, MenuWaitEndsWithoutAKeyAndAMenuThatComesLateIsClosed) {
    const double late = bounds::kPopupMenuSeconds + bounds::kLatePopupSeconds;
    const struct {
        const char* what;
        double menuDelay, menuBeforeCloses, clientGoes, ends;
        std::size_t menus;
        bool closed;  // the late menu got Escape, the client WM_CANCELMODE
    } cases[] = {
        {"the menu open before closes, no other comes", -1, 1, 0, late, 0, false},
        {"the new one comes too late", bounds::kPopupMenuSeconds + 2, 0, 0, bounds::kPopupMenuSeconds + 2, 1, true},
        {"the new one comes later still", late + 1, 0, 0, late, 1, false},
        {"the client goes", -1, 0, 1.5, 1.5, 0, false},
    };
    for (const auto& c : cases) {
        HandBuiltToolbar t(c.menuDelay);
        if (c.menuBeforeCloses > 0) {
            t.OpenMenu();
            t.p.Schedule(c.menuBeforeCloses, [&] {
                t.p.DestroyWindow(t.menus[0]);
                t.menus.clear();
            });
        }
        if (c.clientGoes > 0) t.p.Schedule(c.clientGoes, [&] { t.p.DestroyWindow(t.main); });
        EXPECT_FALSE(ClickToolbarMenu(t.p, 0, "b")) << c.what;
        EXPECT_NEAR(t.p.Now(), c.ends, 0.1) << c.what;
        t.p.RunFor(5);
        EXPECT_EQ(t.menus.size(), c.menus) << c.what;
        const Keys closing = c.closed ? Keys{{t.menus[0], Msg::KeyDown, kVkEscape}} : Keys{};
        EXPECT_EQ(t.keys, closing) << c.what << ": no key";
        EXPECT_EQ(!t.heard.empty() && t.heard.back().first == -1, c.closed) << c.what;
    }
}

}  // namespace
}  // namespace qm::dcp
