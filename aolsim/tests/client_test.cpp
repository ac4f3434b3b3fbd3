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

TEST_F(ClientTest, ADisconnectLeavesLeftoversAndAPasswordSignsBackOnAfterTheDelay) {
    Begin("8.0");
    client.OpenRoom("Lobby");
    client.OpenDocument("Status Report", {false, 0, 0, 1, 1, 0, 0});
    client.Disconnect({true, true});
    EXPECT_EQ(DocumentCaptions(), (Lines{"Status", "File Transfer Status", "Sign On", "Status Report"}));
    // Closing the leftovers (posted) is recorded; "Status Report" stays.
    p.Post(Document("File Transfer Status"), Msg::Close);
    p.Post(Document("Status"), Msg::Close);
    p.ProcessEvents();
    EXPECT_EQ(client.Captions(WindowEvent::Closed), (Lines{"File Transfer Status", "Status"}));
    EXPECT_EQ(DocumentCaptions(), (Lines{"Sign On", "Status Report"}));
    client.DestroyWindow(Document("Status Report"));
    client.RequirePassword("s3cr\xB7t");
    TypePassword("wrong");
    p.RunFor(3);
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
    client.FailSignOns(1);
    TypePassword("s3cr\xB7t");
    p.RunFor(3);
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
    client.SetDelays({5, 1, 0, 0, 0});
    p.SetText(client.PasswordBox(), "s3cr\xB7t");
    Press(Icon(client.SignOnWindow(), 4), false);  // the "Sign On" icon
    EXPECT_TRUE(client.Connecting());
    p.RunFor(4.9);
    EXPECT_EQ(DocumentCaptions(), Lines{"Connecting"});
    p.RunFor(0.1);
    EXPECT_TRUE(client.SignedOn());
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    EXPECT_EQ(client.PasswordsTyped(), (Lines{"wrong", "s3cr\xB7t", "s3cr\xB7t"}));
}

TEST_F(ClientTest, KeywordsOpenTheirRoomAfterTheDelayOrBringTheAlert) {
    Begin("6.0");
    client.MapKeyword("teen chat", "Teens 12");
    p.SetText(KeywordEdit(), "obby");
    for (unsigned c : {unsigned('x'), 8u, unsigned('l'), 13u}) p.Send(KeywordEdit(), Msg::Char, c);  // at the caret
    EnterKeyword("aol://2719:2-2-Lobby 7");
    EnterKeyword("TEEN CHAT");
    p.RunFor(0.9);
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    p.RunFor(0.1);
    EXPECT_EQ(DocumentCaptions(), (Lines{"Teens 12", "Lobby 7", "lobby", "AOL Channels", "Welcome, Joe Blow!"}));
    EnterKeyword("LOBBY 7");  // brought to the front, not opened twice
    p.RunFor(1);
    EXPECT_EQ(DocumentCaptions(), (Lines{"Lobby 7", "Teens 12", "lobby", "AOL Channels", "Welcome, Joe Blow!"}));
    client.AlertAfterKeywords(1);
    client.RejectKeyword("nowhere");
    for (const char* keyword : {"full room", "NOWHERE", ""}) {
        EnterKeyword(keyword);
        DismissAlert();
    }
    EnterKeyword("later");
    client.Disconnect({});  // before its room opens
    EnterKeyword("later");  // signed off
    p.RunFor(2);
    EXPECT_EQ(client.KeywordsSubmitted(), (Lines{"lobby", "aol://2719:2-2-Lobby 7", "TEEN CHAT", "LOBBY 7", "full room",
                                                 "NOWHERE", "", "later", "later"}));
    EXPECT_EQ(std::pair(client.AlertsShown(), client.AlertsDismissed()), std::pair(3, 2));
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
}

TEST_F(ClientTest, PopupMenuTakesItsKeysInAnyCaseComesInFrontAndMayComeLate) {
    Begin("8.0");
    client.SetDelays({3, 1, 0, 0, 1.5});
    EXPECT_FALSE(ClickToolbarMenu(4, 'z', 1));
    p.RunFor(0.5);
    Hwnd menu = p.FindWindow("#32768");
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), menu);
    p.Post(menu, Msg::Char, 'z');  // no such key: it stays open
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), menu);
    p.Post(menu, Msg::KeyDown, kVkEscape);
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), 0u);
    client.SetDelays({});
    EXPECT_TRUE(ClickToolbarMenu(4, 'p'));  // lower case picks the upper-case accelerator
    EXPECT_EQ(client.PopupPicks(), Lines{"&Personal Filing Cabinet"});
}

TEST_F(ClientTest, ResumeIconsBringBackTheBrokenTransfers) {
    Begin("6.0");
    client.StartDownload("song.wav", 45, Client::RemainingText(3));
    client.StartUpload("pics.zip", 12, Client::RemainingText(1));
    client.Disconnect({});
    EXPECT_EQ(client.DownloadWindow() | client.UploadWindow(), 0u);
    client.SignOn("Joe Blow");
    RunMenuItem("&Download Manager");
    Hwnd dm = Document("Download Manager");
    p.Send(Icon(dm, 2), Msg::KeyUp, qm::kVkSpace);  // no press began
    p.Send(Icon(dm, 2), Msg::LButtonUp);
    Press(Icon(dm, 1), true);
    EXPECT_EQ(client.DownloadWindow(), 0u);
    Press(Icon(dm, 2), true);
    ASSERT_TRUE(ClickToolbarMenu(0, 'b'));
    Press(Icon(FirstDocument(), 4), false);
    Press(Icon(FirstDocument(), 4), true);  // nothing more to resume
    EXPECT_EQ(client.IconPresses(),
              (std::vector<IconPress>{{"Download Manager", 1, true}, {"Download Manager", 2, true},
                                      {"Mail Waiting to Be Sent", 4, false}, {"Mail Waiting to Be Sent", 4, true}}));
    EXPECT_EQ(std::pair(client.DownloadResumePresses(), client.UploadResumePresses()), std::pair(1, 2));
    for (auto [window, name] : {std::pair{client.DownloadWindow(), "Now Downloading song.wav"},
                                {p.FindWindow("_AOL_Modal"), "Now Uploading pics.zip"}}) {
        EXPECT_EQ(Caption(window), "File Transfer");
        EXPECT_EQ(GetText(p.FindWindowEx(window, 0, "_AOL_Static")), name);
    }
    p.Send(dm, Msg::Close);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

// The transfer windows themselves are pinned by the transfer reader's and
// upload chat's tests; here, the client's texts for the time left, and what
// ends an upload as its name is read.
TEST_F(ClientTest, UploadEndsOnceAsItsNameIsReadThroughAMessageTheNthTime) {
    for (auto [minutes, text] : {std::pair{3, "About 3 minutes remaining."}, {1, "About 1 minute remaining."},
                                 {0, "Less than a minute remaining."}})
        EXPECT_EQ(Client::RemainingText(minutes), text);
    Begin("8.0");
    Handle down = client.StartDownload("d.zip", 5, "");
    Handle up = client.StartUpload("a.zip", 12, "");
    Hwnd name = p.FindWindowEx(up, 0, "_AOL_Static");
    client.EndUploadOnRead(2);
    EXPECT_EQ(GetText(p.FindWindowEx(down, 0, "_AOL_Static")), "Now Downloading d.zip");
    EXPECT_EQ(GetText(up), "File Transfer - 12%");
    EXPECT_EQ(Caption(name), "Now Uploading a.zip");  // seen without a message
    EXPECT_EQ(GetText(name), "Now Uploading a.zip");
    EXPECT_EQ(client.UploadWindow(), up);
    EXPECT_EQ(GetText(name), "Now Uploading a.zip");
    EXPECT_FALSE(p.IsWindow(up));
    Handle next = client.StartUpload("b.zip", 1, "");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GetText(p.FindWindowEx(next, 0, "_AOL_Static")), "Now Uploading b.zip");
    EXPECT_EQ(client.UploadWindow(), next);
}

TEST_F(ClientTest, ReactionsFollowTheirTriggerOnceAndEveryEndTakesEveryWindow) {
    Begin("8.0");
    client.When(Trigger::MenuCommand, Reaction::Alert);
    client.When(Trigger::KeywordEntered, Reaction::Disconnect);
    client.When(Trigger::PasswordTyped, Reaction::Vanish);
    RunMenuItem("&Download Manager");
    DismissAlert();
    RunMenuItem("&Download Manager");
    EXPECT_EQ(client.AlertsShown(), 1);
    EnterKeyword("lobby");
    p.RunFor(2);
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
    TypePassword("pw");
    p.ProcessEvents();
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    // Closed, vanished, or gone with its object, the client takes all its
    // windows and what was still to come; it starts afresh after an end.
    Begin("7.0");
    client.OpenRoom("Lobby");
    client.StartUpload("a.zip", 3, Client::RemainingText(2));
    client.ShowAlert();
    EnterKeyword("lobby");  // its room is still to come
    p.Send(Main(), Msg::Close);
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    Begin("8.0");
    p.RunFor(2);
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    client.VanishAfter(2);
    p.RunFor(1.9);
    EXPECT_TRUE(client.Running());
    p.RunFor(0.1);
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    {
        SimClient other(p);
        other.Start("8.0");
        other.SignOn("Joe");
        other.ShowAlert();
        other.StartUpload("x", 1, "");
        EnterKeyword("lobby");
    }
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    p.RunFor(5);
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    EXPECT_EQ(client.PasswordsTyped(), Lines{"pw"});
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
    EXPECT_NE(Document("Welcome, Joe Blow!"), 0u);  // still there
    EXPECT_EQ(client.OpenRoom("Lobby"), 0u);
}

}  // namespace
}  // namespace aolsim::testing
