// Disconnect protection's actions on the stand-in client, and on hand-built
// toolbars where the exact messages matter: finding the sign-on window,
// typing the password, the bounded waits, the keyword box, the toolbar's
// pop-up menus and the four resume actions.
#include "dcp/actions.h"

#include <gtest/gtest.h>

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
    void SignedOffAt(const char* version) {
        client.Start(version);
        client.SignOn("Joe Blow");
        client.Disconnect();
    }
    void SignedOnAt(const char* version) {
        client.Start(version);
        client.SignOn("Joe Blow");
    }
    sim::SimPlatform p;
    aolsim::SimClient client{p};
};

// ---- the sign-on window -------------------------------------------------------------------------

TEST_F(Actions, SignedOnMeansNoSignOnWindowWithoutLookingInsideAnyDocument) {
    SignedOnAt("8.0");
    client.OpenDocument("Sign On", {.icons = 1, .statics = 1, .comboboxes = 1});
    int looksInside = 0;
    p.SetHook([&](sim::Op op, Hwnd w) { looksInside += op == sim::Op::FindWindowEx && p.ClassOf(w) == "AOL Child"; });
    EXPECT_EQ(FindSignOnWindow(p), 0u);
    EXPECT_EQ(looksInside, 0);
}

// The document in front has icons and a static but no combobox.
TEST_F(Actions, SignOnWindowIsFoundBehindADocumentLackingAPart) {
    SignedOffAt("6.0");
    client.OpenDocument("Write Mail", {.icons = 2, .statics = 1, .edits = 1});
    EXPECT_EQ(FindSignOnWindow(p), client.SignOnWindow());
}

TEST_F(Actions, PasswordGoesOnlyIntoTheSignOnWindowsBox) {
    SignedOffAt("8.0");
    aolsim::Handle mail = client.OpenDocument("Write Mail", {.icons = 2, .statics = 1, .edits = 1});
    TypeSignOnPassword(p, "s3cr\xE9t");
    EXPECT_EQ(client.PasswordsTyped(), Lines{"s3cr\xE9t"});
    EXPECT_TRUE(client.Connecting());
    // Without a sign-on window nothing is typed anywhere.
    TypeSignOnPassword(p, "again");
    EXPECT_EQ(client.PasswordsTyped().size(), 1u);
    EXPECT_EQ(p.TextOf(p.FindWindowEx(mail, 0, "_AOL_Edit")), "");
}

// ---- the waits -------------------------------------------------------------------------------------

TEST_F(Actions, WaitForSignOnEndsWithTheWelcomeOrTheSignOnWindowBack) {
    SignedOffAt("5.0");
    client.FailSignOns(1);
    client.SetDelays({.signOn = 7});
    TypeSignOnPassword(p, "wrong");
    WaitForSignOn(p);
    EXPECT_NE(client.SignOnWindow(), 0u);
    EXPECT_NEAR(p.Now(), 7.0, 0.1);
    TypeSignOnPassword(p, "secret");
    WaitForSignOn(p);
    EXPECT_TRUE(client.SignedOn());
    EXPECT_NEAR(p.Now(), 14.0, 0.1);
}

TEST_F(Actions, WaitForSignOnGivesUpOrEndsWhenTheClientGoes) {
    SignedOffAt("8.0");
    client.SetDelays({.signOn = 86400});
    TypeSignOnPassword(p, "secret");
    WaitForSignOn(p);
    EXPECT_TRUE(client.Connecting());
    EXPECT_GE(p.Now(), bounds::kSignOnSeconds);
    EXPECT_LT(p.Now(), bounds::kSignOnSeconds + 1);
    client.VanishAfter(5);
    const double start = p.Now();
    WaitForSignOn(p);
    EXPECT_NEAR(p.Now() - start, 5.0, 0.1);
}

TEST_F(Actions, WaitForRoomEndsOnASignOffTheAlertOrTheRoom) {
    SignedOnAt("7.0");
    client.SetDelays({.room = 86400});
    EnterKeyword(p, "Lobby");
    double start = p.Now();
    p.Schedule(3, [&] { client.SignOff(); });
    WaitForRoom(p);
    EXPECT_NEAR(p.Now() - start, 3.0, 0.1);

    client.SignOn("Joe Blow");
    client.AlertAfterKeywords(1);
    EnterKeyword(p, "Lobby");
    start = p.Now();
    WaitForRoom(p);
    EXPECT_NE(client.AlertWindow(), 0u);
    EXPECT_LT(p.Now() - start, 0.1);

    aol::DismissAolAlert(p);
    client.SetDelays({.room = 4});
    EnterKeyword(p, "Lobby");
    start = p.Now();
    WaitForRoom(p);
    EXPECT_NE(client.Room("Lobby"), 0u);
    EXPECT_NEAR(p.Now() - start, 3.6, 0.1);  // 4 s after the Enter, which came 0.4 s before the keyword ended
}

TEST_F(Actions, WaitForRoomGivesUpOrEndsWhenTheClientGoes) {
    SignedOnAt("7.0");
    client.SetDelays({.room = 86400});
    EnterKeyword(p, "Lobby");
    double start = p.Now();
    WaitForRoom(p);
    EXPECT_GE(p.Now() - start, bounds::kRoomSeconds);
    EXPECT_LT(p.Now() - start, bounds::kRoomSeconds + 1);
    client.VanishAfter(2);
    start = p.Now();
    WaitForRoom(p);
    EXPECT_NEAR(p.Now() - start, 2.0, 0.1);
}

// ---- keyword and windows ----------------------------------------------------------------------------

TEST_F(Actions, KeywordIsSubmittedAndTheBoxLeftEmpty) {
    SignedOnAt("8.0");
    p.SetTextDirect(client.KeywordBox(), "typed by the user");
    EnterKeyword(p, "aol://2719:2-2-lobby");
    EXPECT_EQ(client.KeywordsSubmitted(), Lines{"aol://2719:2-2-lobby"});
    EXPECT_EQ(p.TextOf(client.KeywordBox()), "");
    EXPECT_NEAR(p.Now(), 0.6, 0.01);
    p.RunFor(2);
    EXPECT_NE(client.Room("lobby"), 0u);
}

TEST_F(Actions, ChannelsWindowIsClosedAndNothingElse) {
    SignedOnAt("6.0");
    CloseChannelsWindow(p);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"AOL Channels"});
    CloseChannelsWindow(p);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"AOL Channels"});
    EXPECT_NE(client.WelcomeWindow(), 0u);
}

// ---- the toolbar's pop-up menus, on a hand-built toolbar -------------------------------------------

class Toolbar : public ::testing::Test {
protected:
    Toolbar() {
        main = p.CreateWindow("AOL Frame25", "America Online", 0);
        Hwnd frame = p.CreateWindow("AOL Toolbar", "", main);
        bar = p.CreateWindow("_AOL_Toolbar", "", frame);
        // Not only icons: stepping counts every sibling.
        for (const char* cls : {"_AOL_Icon", "_AOL_Static", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon"}) {
            const std::size_t n = children.size();
            children.push_back(p.CreateWindow(cls, "", bar, [this, n](Hwnd, const sim::Message& m) {
                heard.push_back({n, m.msg});
                if (m.msg == Msg::LButtonUp && opens) p.Schedule(menuDelay, [this] { OpenMenu(); });
                return true;
            }));
        }
    }
    void OpenMenu() {
        Hwnd menu = p.CreateWindow("#32768", "", 0, [this](Hwnd self, const sim::Message& m) {
            if (m.msg == Msg::Char) keys.push_back({self, m.wparam});
            return true;
        });
        p.BringToFront(menu);
        menus.push_back(menu);
    }
    struct Heard {
        std::size_t child;
        Msg msg;
        bool operator==(const Heard&) const = default;
    };
    struct Key {
        Hwnd menu;
        std::uint32_t code;
        bool operator==(const Key&) const = default;
    };
    // The keys the menus heard once what was posted has been handled.
    const std::vector<Key>& Keys() {
        p.ProcessEvents();
        return keys;
    }
    sim::SimPlatform p;
    Hwnd main = 0, bar = 0;
    std::vector<Hwnd> children, menus;
    std::vector<Heard> heard;
    std::vector<Key> keys;
    bool opens = true;
    double menuDelay = 0.5;
};

TEST_F(Toolbar, IndexZeroClicksTheFirstIconAndTheKeyGoesToItsMenu) {
    ClickToolbarMenu(p, 0, "b");
    EXPECT_EQ(heard, (std::vector<Heard>{{0, Msg::LButtonDown}, {0, Msg::LButtonUp}}));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(Keys(), (std::vector<Key>{{menus[0], 'b'}}));
}

TEST_F(Toolbar, IndexStepsThroughSiblingsWhateverTheirClass) {
    ClickToolbarMenu(p, 2, "\xC9t\xE9");
    EXPECT_EQ(heard, (std::vector<Heard>{{2, Msg::LButtonDown}, {2, Msg::LButtonUp}}));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(Keys(), (std::vector<Key>{{menus[0], 0xC9u}})) << "the first character, as an ANSI code";
}

TEST_F(Toolbar, MenuOpenBeforeTheClickIsNotTakenForTheNewOne) {
    OpenMenu();
    const Hwnd before = menus[0];
    ClickToolbarMenu(p, 3, "b");
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(Keys(), (std::vector<Key>{{menus[1], 'b'}}));
    EXPECT_NE(menus[1], before);
}

TEST_F(Toolbar, MenuOpenBeforeThatClosesEndsTheWaitAndNoKeyReachesAnyMenu) {
    opens = false;
    OpenMenu();
    p.Schedule(1, [this] { p.DestroyWindow(menus[0]); });
    ClickToolbarMenu(p, 0, "b");
    EXPECT_NEAR(p.Now(), 1.0, 0.1);
    EXPECT_TRUE(Keys().empty());
}

TEST_F(Toolbar, MenuThatDoesNotOpenInTimeGetsNoKey) {
    menuDelay = bounds::kPopupMenuSeconds + 2;
    OpenMenu();  // stays open: the one before the click
    ClickToolbarMenu(p, 0, "b");
    EXPECT_GE(p.Now(), bounds::kPopupMenuSeconds);
    EXPECT_LT(p.Now(), bounds::kPopupMenuSeconds + 1);
    p.RunFor(5);
    EXPECT_EQ(menus.size(), 2u);
    EXPECT_TRUE(Keys().empty());
}

TEST_F(Toolbar, ClientGoneEndsTheWaitAtOnce) {
    opens = false;
    p.Schedule(1.5, [this] { p.DestroyWindow(main); });
    ClickToolbarMenu(p, 0, "b");
    EXPECT_NEAR(p.Now(), 1.5, 0.1);
    EXPECT_TRUE(Keys().empty());
}

// ---- the resume actions on the stand-in client ------------------------------------------------------

class Resume : public Actions {
protected:
    // Broken-off transfers of both directions, then back on.
    void Interrupted(const char* version) {
        SignedOnAt(version);
        client.StartDownload("big.zip", 40, aolsim::Client::RemainingText(3));
        client.StartUpload("pics.zip", 12, aolsim::Client::RemainingText(9));
        client.Disconnect();
        client.SignOn("Joe Blow");
    }
};

TEST_F(Resume, DownloadEarlyGoesThroughTheFifthToolbarIcon) {
    Interrupted("5.0");
    ResumeDownloadEarly(p);
    EXPECT_EQ(client.ToolbarClicks(), std::vector<int>{5});
    EXPECT_EQ(client.PopupPicks(), Lines{"&Download Manager"});
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Download Manager", 2, true}}));
    EXPECT_NE(client.DownloadWindow(), 0u);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
    EXPECT_NEAR(p.Now(), 5.0, 0.1);  // 2 s to find it, 3 s before it is closed
}

TEST_F(Resume, DownloadLateGoesThroughTheFileMenu) {
    Interrupted("8.0");
    ResumeDownloadLate(p);
    EXPECT_EQ(client.MenuCommands(), (Lines{"&File Search", "&Download Manager"}));
    EXPECT_TRUE(client.ToolbarClicks().empty());
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Download Manager", 2, true}}));
    EXPECT_EQ(client.DownloadResumePresses(), 1);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

TEST_F(Resume, DownloadManagerWithOneIconIsStillClosed) {
    SignedOnAt("foreign");
    client.OpenDocument("Download Manager", {.icons = 1});
    ResumeDownloadLate(p);
    EXPECT_TRUE(client.IconPresses().empty());
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

TEST_F(Resume, UploadEarlyPressesTheFourthIconWithTheMouse) {
    Interrupted("4.0");
    ResumeUploadEarly(p);
    EXPECT_EQ(client.ToolbarClicks(), std::vector<int>{3});
    EXPECT_EQ(client.PopupPicks(), Lines{"Mail Waiting to &be Sent"});
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Mail Waiting to Be Sent", 4, false}}));
    EXPECT_NE(client.UploadWindow(), 0u);
    EXPECT_TRUE(client.Captions(WindowEvent::Closed).empty());
}

TEST_F(Resume, UploadLatePressesTheFourthIconWithSpace) {
    Interrupted("7.0");
    ResumeUploadLate(p);
    EXPECT_EQ(client.ToolbarClicks(), std::vector<int>{1});
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Mail Waiting to Be Sent", 4, true}}));
    EXPECT_EQ(client.UploadResumePresses(), 1);
    EXPECT_NE(client.UploadWindow(), 0u);
}

}  // namespace
}  // namespace qm::dcp
