// The client's windows outside the chat room: the window tree and menus of
// each version, signing on and off, keywords, the toolbar's pop-up menus, the
// resume windows, transfers, faults, and what is recorded of them.
#include <gtest/gtest.h>

#include "aolsim/tests/driver.h"

namespace aolsim::testing {
namespace {

class ClientTest : public ::testing::Test, public Scene {};

// What tells the versions apart.  Toolbar icons with a pop-up menu, 0-based:
// the one with "Mail Waiting to &be Sent" and one without (-1: no menus).
struct VersionCase {
    const char* version;
    std::size_t toolbarIcons;
    bool late, readOnlyTranscript;  // late: 6.0 to 8.0
    int outboxIcon, plainIcon;
};
const VersionCase kVersions[] = {{"2.5", 8, false, false, -1, 0}, {"3.0", 8, false, false, -1, 0},
                                 {"4.0", 13, false, false, 2, 0}, {"5.0", 13, false, false, 2, 0},
                                 {"6.0", 8, true, false, 0, 2},   {"7.0", 8, true, true, 0, 2},
                                 {"8.0", 8, true, true, 0, 2},    {"foreign", 8, false, false, -1, 0}};

TEST(Versions, NamesRoundTripAndWindowsAndMenusFollowTheVersion) {
    for (const char* v : {"9.0", "", "8.0 ", "8"}) EXPECT_EQ(ParseVersion(v), Version::Foreign) << v;
    for (const VersionCase& c : kVersions) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(VersionName(ParseVersion(c.version)), c.version);
        Scene s;
        s.Begin(c.version, nullptr);
        EXPECT_EQ(s.Caption(s.Main()), "America Online");
        EXPECT_EQ(s.Classes(s.Main()), (Lines{"AOL Toolbar", "MDIClient"}));
        Lines toolbar(c.toolbarIcons, "_AOL_Icon");
        toolbar.push_back("_AOL_Combobox");
        EXPECT_EQ(s.Classes(s.Bar()), toolbar);
        EXPECT_EQ(s.KeywordEdit(), s.client.KeywordBox());
        EXPECT_EQ(s.DocumentCaptions(), Lines{"Sign On"});
        EXPECT_EQ(s.Classes(s.FirstDocument()), (Lines{"_AOL_Static", "_AOL_Combobox", "_AOL_Static", "_AOL_Edit",
                                                       "_AOL_Icon", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon"}));
        s.client.SignOn("Joe");
        Lines docs = c.late ? Lines{"AOL Channels", "Welcome, Joe!"} : Lines{"Welcome, Joe!"};
        EXPECT_EQ(s.DocumentCaptions(), docs);
        Handle room = s.client.OpenRoom("Lobby");
        EXPECT_EQ(s.FirstDocument(), room);
        const char* transcript = c.readOnlyTranscript ? "RICHCNTLREADONLY" : "RICHCNTL";
        EXPECT_EQ(s.Classes(room), (Lines{transcript, "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon",
                                          "_AOL_Icon", "_AOL_Static"}));
        EXPECT_EQ(s.client.RoomInput(room), s.p.NextWindow(s.p.FindWindowEx(room, 0, transcript)));
        s.client.DestroyWindow(room);
        if (c.outboxIcon < 0) {
            EXPECT_FALSE(s.ClickToolbarMenu(4, 'D', 1));
            continue;
        }
        // The toolbar's menus open the Download Manager and the outbox; the
        // menu bar's File menu begins with a harmless "&File Search", and from
        // 6.0 on holds "&Download Manager", which brings it to the front.
        ASSERT_TRUE(s.ClickToolbarMenu(4, 'D'));
        EXPECT_EQ(s.p.FindWindow("#32768"), 0u);
        EXPECT_EQ(s.Caption(s.FirstDocument()), "Download Manager");
        EXPECT_FALSE(s.ClickToolbarMenu(c.plainIcon, 'b', 1));
        ASSERT_TRUE(s.ClickToolbarMenu(c.outboxIcon, 'b'));
        EXPECT_EQ(s.client.ToolbarClicks(), (std::vector<int>{5, c.plainIcon + 1, c.outboxIcon + 1}));
        EXPECT_EQ(s.client.PopupPicks(), (Lines{"&Download Manager", "Mail Waiting to &be Sent"}));
        EXPECT_EQ(s.Caption(s.FirstDocument()), "Mail Waiting to Be Sent");
        s.RunMenuItem("&File");
        s.RunMenuItem("&Download Manager");
        s.p.Send(s.Main(), Msg::Command, 7);  // no entry: nothing
        s.p.Send(s.Main(), Msg::Command, 0xFFFFu);
        const Lines outbox{"Mail Waiting to Be Sent", "Download Manager"};
        docs.insert(docs.begin(), outbox.begin(), outbox.end());
        if (c.late) std::swap(docs[0], docs[1]);
        EXPECT_EQ(s.DocumentCaptions(), docs);
        s.RunMenuItem("&Sign Off");
        EXPECT_EQ(s.client.MenuCommands(), (c.late ? Lines{"&File Search", "&Download Manager", "&Sign Off"}
                                                   : Lines{"&File Search", "&Sign Off"}));
        EXPECT_EQ(s.DocumentCaptions(), Lines{"Sign On"});
    }
}

TEST_F(ClientTest, PopupMenuMayComeLateInFrontAndTakesItsKeysInAnyCase) {
    Begin("8.0");
    client.SetDelays({.popup = 1.5});
    EXPECT_FALSE(ClickToolbarMenu(4, 'z', 1));
    p.RunFor(0.5);
    Hwnd menu = p.FindWindow("#32768");
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), menu);
    p.Post(menu, Msg::Char, 'z');  // no such key: it stays open
    p.Post(menu, Msg::Char, 'p');
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), 0u);
    EXPECT_EQ(client.PopupPicks(), Lines{"&Personal Filing Cabinet"});
}

// The transfer windows are pinned by the transfer tests; here, the client's
// texts for the time left, and the read of an upload's name that ends it.
TEST_F(ClientTest, UploadEndsOnceAsItsNameIsReadThroughAMessageTheNthTime) {
    for (auto [minutes, text] : {std::pair{3, "About 3 minutes remaining."}, {1, "About 1 minute remaining."},
                                 {0, "Less than a minute remaining."}})
        EXPECT_EQ(Client::RemainingText(minutes), text);
    Begin("8.0");
    Handle up = client.StartUpload("a.zip", 12, "");
    Hwnd name = p.FindWindowEx(up, 0, "_AOL_Static");
    client.EndUploadOnRead(2);
    EXPECT_EQ(Caption(name), "Now Uploading a.zip");  // seen without a message
    EXPECT_EQ(GetText(name), "Now Uploading a.zip");
    EXPECT_EQ(client.UploadWindow(), up);
    EXPECT_EQ(GetText(name), "Now Uploading a.zip");
    EXPECT_FALSE(p.IsWindow(up));
    Handle next = client.StartUpload("b.zip", 1, "");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GetText(p.FindWindowEx(next, 0, "_AOL_Static")), "Now Uploading b.zip");
}

// Closed or gone with its object (vanishing is shown by the protection tests).
TEST_F(ClientTest, EveryEndTakesEveryWindowAndWhatWasStillToCome) {
    Begin("7.0");
    client.StartUpload("a.zip", 3, "");
    client.ShowAlert();
    EnterKeyword("lobby");  // its room is still to come
    p.Send(Main(), Msg::Close);
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    Begin("8.0");  // afresh: nothing still to come of before
    p.RunFor(2);
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    client.Vanish();
    {
        SimClient other(p);
        other.Start("8.0");
        other.SignOn("Joe");
        other.ShowAlert();
        EnterKeyword("lobby");
    }
    p.RunFor(5);
    EXPECT_TRUE(p.ChildrenOf(0).empty());
}

TEST_F(ClientTest, AScenarioCannotFloodTheDesktop) {
    Begin("8.0");
    for (int i = 0; i < 100; ++i) client.OpenDocument("spam", {true, 32, 32, 32, 32, 32, 32});
    std::function<std::size_t(Hwnd)> count = [&](Hwnd w) {
        std::size_t n = 0;
        for (Hwnd c : p.ChildrenOf(w)) n += 1 + count(c);
        return n;
    };
    EXPECT_EQ(count(0), kMaxWindows);
    EXPECT_NE(client.FindDocument("Welcome, Joe Blow!"), 0u);  // still there
    EXPECT_EQ(client.OpenRoom("Lobby"), 0u);
}

}  // namespace
}  // namespace aolsim::testing
