// The client's windows outside the chat room: the window tree of each version,
// menu commands, signing on and off, keywords, the toolbar's pop-up menus, the
// resume windows, transfers, faults, and what is recorded of them.
#include <gtest/gtest.h>

#include "aolsim/tests/driver.h"

namespace aolsim::testing {
namespace {

class ClientTest : public ::testing::Test, public Scene {};

TEST(Versions, NamesRoundTripAndAnythingElseIsForeign) {
    for (const char* v : {"2.5", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0", "foreign"})
        EXPECT_EQ(VersionName(ParseVersion(v)), v);
    for (const char* v : {"9.0", "", "8.0 ", "8"}) EXPECT_EQ(ParseVersion(v), Version::Foreign) << v;
}

// ---- the window tree ---------------------------------------------------------------------

TEST(WindowTree, FollowsTheVersion) {
    struct Case {
        const char* version;
        std::size_t toolbarIcons;
        bool channels, readOnlyTranscript;
    };
    for (Case c : {Case{"2.5", 8, false, false}, Case{"3.0", 8, false, false}, Case{"4.0", 13, false, false},
                   Case{"5.0", 13, false, false}, Case{"6.0", 8, true, false}, Case{"7.0", 8, true, true},
                   Case{"8.0", 8, true, true}, Case{"foreign", 8, false, false}}) {
        SCOPED_TRACE(c.version);
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
        EXPECT_EQ(s.DocumentCaptions(), (c.channels ? Lines{"AOL Channels", "Welcome, Joe!"} : Lines{"Welcome, Joe!"}));
        Handle room = s.client.OpenRoom("Lobby");
        EXPECT_EQ(s.FirstDocument(), room);
        const char* transcript = c.readOnlyTranscript ? "RICHCNTLREADONLY" : "RICHCNTL";
        EXPECT_EQ(s.Classes(room), (Lines{transcript, "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Icon", "_AOL_Icon",
                                          "_AOL_Icon", "_AOL_Static"}));
        EXPECT_EQ(s.client.RoomInput(room), s.p.NextWindow(s.p.FindWindowEx(room, 0, transcript)));
    }
}

// ---- menus, signing off and on ---------------------------------------------------------------

TEST_F(ClientTest, MenuCommandsRunTheirEntry) {
    for (const char* v : {"4.0", "5.0", "6.0", "7.0", "8.0"}) {
        SCOPED_TRACE(v);
        Scene s;
        s.Begin(v);
        s.RunMenuItem("&File");  // "&File Search": harmless
        s.RunMenuItem("&Download Manager");
        const bool late = v[0] >= '6';
        EXPECT_EQ(s.client.MenuCommands(), (late ? Lines{"&File Search", "&Download Manager"} : Lines{"&File Search"}));
        EXPECT_EQ(s.DocumentCaptions(), (late ? Lines{"Download Manager", "AOL Channels", "Welcome, Joe Blow!"}
                                              : Lines{"Welcome, Joe Blow!"}));
    }
    Begin("7.0");
    p.Send(Main(), Msg::Command, 7);
    p.Send(Main(), Msg::Command, 0xFFFFu);
    RunMenuItem("&Sign Off");
    EXPECT_EQ(client.MenuCommands(), Lines{"&Sign Off"});
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
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

// ---- keywords ---------------------------------------------------------------------------

TEST_F(ClientTest, KeywordsOpenTheirRoomAfterTheDelay) {
    Begin("6.0");
    client.MapKeyword("teen chat", "Teens 12");
    p.SetText(KeywordEdit(), "obby");
    for (unsigned c : {unsigned('x'), 8u, unsigned('l')}) p.Send(KeywordEdit(), Msg::Char, c);  // at the caret, first 0
    p.Send(KeywordEdit(), Msg::Char, qm::kCharEnter);
    EnterKeyword("aol://2719:2-2-Lobby 7");
    EnterKeyword("TEEN CHAT");
    p.RunFor(0.9);
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    p.RunFor(0.1);
    EXPECT_EQ(DocumentCaptions(), (Lines{"Teens 12", "Lobby 7", "lobby", "AOL Channels", "Welcome, Joe Blow!"}));
    EnterKeyword("LOBBY 7");  // brought to the front, not opened twice
    p.RunFor(1);
    EXPECT_EQ(DocumentCaptions(), (Lines{"Lobby 7", "Teens 12", "lobby", "AOL Channels", "Welcome, Joe Blow!"}));
    EXPECT_EQ(client.KeywordsSubmitted(), (Lines{"lobby", "aol://2719:2-2-Lobby 7", "TEEN CHAT", "LOBBY 7"}));
}

TEST_F(ClientTest, KeywordsThatOpenNoRoom) {
    Begin("8.0");
    client.AlertAfterKeywords(1);
    client.RejectKeyword("nowhere");
    for (const char* keyword : {"full room", "NOWHERE", ""}) {
        EnterKeyword(keyword);
        DismissAlert();
    }
    EnterKeyword("lobby");
    client.Disconnect({});  // before the room opens
    EnterKeyword("lobby");  // signed off
    p.RunFor(2);
    EXPECT_EQ(client.KeywordsSubmitted(), (Lines{"full room", "NOWHERE", "", "lobby", "lobby"}));
    EXPECT_EQ(client.AlertsShown(), 3);
    EXPECT_EQ(client.AlertsDismissed(), 2);
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
}

// ---- toolbar pop-up menus and resume windows ----------------------------------------

TEST(ToolbarMenus, FollowTheVersion) {
    struct Case {
        const char* version;
        int outboxIcon, plainIcon;  // 0-based; -1: no toolbar menus at all
    };
    for (Case c : {Case{"2.5", -1, 0}, Case{"3.0", -1, 0}, Case{"foreign", -1, 0}, Case{"4.0", 2, 0},
                   Case{"5.0", 2, 0}, Case{"6.0", 0, 2}, Case{"7.0", 0, 2}, Case{"8.0", 0, 2}}) {
        SCOPED_TRACE(c.version);
        Scene s;
        s.Begin(c.version);
        if (c.outboxIcon < 0) {
            EXPECT_FALSE(s.ClickToolbarMenu(4, 'D', 1));
            continue;
        }
        ASSERT_TRUE(s.ClickToolbarMenu(4, 'D'));
        EXPECT_EQ(s.p.FindWindow("#32768"), 0u);
        EXPECT_EQ(s.Caption(s.FirstDocument()), "Download Manager");
        EXPECT_FALSE(s.ClickToolbarMenu(c.plainIcon, 'b', 1));
        ASSERT_TRUE(s.ClickToolbarMenu(c.outboxIcon, 'b'));
        EXPECT_EQ(s.client.ToolbarClicks(), (std::vector<int>{5, c.plainIcon + 1, c.outboxIcon + 1}));
        EXPECT_EQ(s.client.PopupPicks(), (Lines{"&Download Manager", "Mail Waiting to &be Sent"}));
        EXPECT_EQ(s.Caption(s.FirstDocument()), "Mail Waiting to Be Sent");
    }
}

TEST_F(ClientTest, PopupMenuKeysEscapeAndDelay) {
    Begin("8.0");
    p.Post(Icon(Bar(), 5), Msg::LButtonDown);
    p.Post(Icon(Bar(), 5), Msg::LButtonUp);
    p.ProcessEvents();
    Hwnd menu = p.FindWindow("#32768");
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), menu);
    p.Post(menu, Msg::Char, 'z');  // no such key: stays open
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), menu);
    p.Post(menu, Msg::KeyDown, kVkEscape);
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), 0u);
    EXPECT_TRUE(client.PopupPicks().empty());
    EXPECT_TRUE(ClickToolbarMenu(4, 'p'));  // lower case picks the upper-case accelerator
    EXPECT_EQ(client.PopupPicks(), Lines{"&Personal Filing Cabinet"});
    client.SetDelays({3, 1, 0, 0, 1.5});
    EXPECT_FALSE(ClickToolbarMenu(4, 'D', 1));
    p.RunFor(0.5);
    EXPECT_NE(p.FindWindow("#32768"), 0u);  // a slow menu comes late
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
    EXPECT_EQ(client.DownloadResumePresses(), 1);
    EXPECT_EQ(client.UploadResumePresses(), 2);
    Hwnd download = client.DownloadWindow(), upload = p.FindWindow("_AOL_Modal");
    EXPECT_EQ(Caption(download), "File Transfer");
    EXPECT_EQ(GetText(p.FindWindowEx(download, 0, "_AOL_Static")), "Now Downloading song.wav");
    EXPECT_EQ(Caption(upload), "File Transfer");
    EXPECT_EQ(GetText(p.FindWindowEx(upload, 0, "_AOL_Static")), "Now Uploading pics.zip");
    p.Send(dm, Msg::Close);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

// ---- transfers --------------------------------------------------------------------------

TEST_F(ClientTest, DownloadWindowCaptionAndTexts) {
    Begin("5.0");
    Handle w = client.StartDownload("Report.ZIP", -1, "Calculating Transfer Time");
    EXPECT_EQ(Caption(w), "File Transfer");
    EXPECT_EQ(p.ParentOf(w), Mdi());
    Hwnd s1 = p.FindWindowEx(w, 0, "_AOL_Static");
    Hwnd s2 = p.FindWindowEx(w, s1, "_AOL_Static");
    EXPECT_EQ(GetText(s1), "Now Downloading Report.ZIP");
    EXPECT_EQ(GetText(s2), "Calculating Transfer Time");
    for (auto [minutes, text] : {std::pair{3, "About 3 minutes remaining."}, {1, "About 1 minute remaining."},
                                 {0, "Less than a minute remaining."}}) {
        client.SetDownloadProgress(45 + minutes, Client::RemainingText(minutes));
        EXPECT_EQ(Caption(w), "File Transfer - " + std::to_string(45 + minutes) + "%");
        EXPECT_EQ(GetText(s2), text);
    }
    client.EndDownload();
    EXPECT_FALSE(p.IsWindow(w));
}

TEST_F(ClientTest, UploadIsATopLevelModalBehindAnyOtherAndShowsAreRecorded) {
    Begin("8.0");
    Handle other = client.ShowOtherModal("Attention");
    Handle w = client.StartUpload("a.zip", 12, Client::RemainingText(2));
    EXPECT_EQ(p.FindWindow("_AOL_Modal"), other);
    client.CloseOtherModal();
    EXPECT_EQ(p.FindWindow("_AOL_MODAL"), w);
    EXPECT_EQ(GetText(w), "File Transfer - 12%");
    EXPECT_EQ(GetText(p.FindWindowEx(w, 0, "_AOL_Static")), "Now Uploading a.zip");
    for (qm::ShowCmd cmd : {qm::ShowCmd::Hide, qm::ShowCmd::Minimize, qm::ShowCmd::Hide, qm::ShowCmd::Restore})
        p.ShowWindow(w, cmd);
    p.ShowWindow(client.WelcomeWindow(), qm::ShowCmd::Hide);
    using E = WindowEvent;
    const std::string c = "File Transfer - 12%";
    EXPECT_EQ(client.WindowEvents(), (std::vector<E>{{E::Hidden, "_AOL_Modal", c}, {E::Minimized, "_AOL_Modal", c},
                                                     {E::Hidden, "_AOL_Modal", c}, {E::Restored, "_AOL_Modal", c},
                                                     {E::Hidden, "AOL Child", "Welcome, Joe Blow!"}}));
    EXPECT_FALSE(p.Minimized(w));
    client.SetUploadProgress(50, Client::RemainingText(1));
    EXPECT_EQ(GetText(w), "File Transfer - 50%");
}

TEST_F(ClientTest, UploadEndsAsItsNameIsReadTheNthTime) {
    Begin("8.0");
    Handle w = client.StartUpload("a.zip", 12, Client::RemainingText(2));
    Hwnd name = p.FindWindowEx(w, 0, "_AOL_Static");
    Hwnd left = p.FindWindowEx(w, name, "_AOL_Static");
    client.EndUploadOnRead(2);
    // The window's other texts, and the name seen without a message, do not count.
    EXPECT_EQ(GetText(w), "File Transfer - 12%");
    EXPECT_EQ(GetText(left), "About 2 minutes remaining.");
    EXPECT_EQ(Caption(name), "Now Uploading a.zip");
    EXPECT_EQ(GetText(name), "Now Uploading a.zip");
    EXPECT_EQ(client.UploadWindow(), w);
    // The reader still gets the name, but the upload is over when it has it.
    EXPECT_EQ(GetText(name), "Now Uploading a.zip");
    EXPECT_FALSE(p.IsWindow(w));
    EXPECT_EQ(p.FindWindow("_AOL_Modal"), 0u);
    // Once.
    Handle next = client.StartUpload("b.zip", 1, "");
    EXPECT_EQ(GetText(p.FindWindowEx(next, 0, "_AOL_Static")), "Now Uploading b.zip");
    EXPECT_EQ(GetText(p.FindWindowEx(next, 0, "_AOL_Static")), "Now Uploading b.zip");
    EXPECT_EQ(client.UploadWindow(), next);
}

TEST_F(ClientTest, DownloadNameReadsDoNotEndTheUpload) {
    Begin("8.0");
    Handle down = client.StartDownload("d.zip", 5, "");
    Handle up = client.StartUpload("u.zip", 5, "");
    client.EndUploadOnRead(1);
    EXPECT_EQ(GetText(p.FindWindowEx(down, 0, "_AOL_Static")), "Now Downloading d.zip");
    EXPECT_EQ(client.UploadWindow(), up);
    EXPECT_EQ(client.DownloadWindow(), down);
}

// ---- faults and the client's end ---------------------------------------------------------------

TEST_F(ClientTest, ReactionsFollowTheirTriggerOnce) {
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
    EXPECT_EQ(client.PasswordsTyped(), Lines{"pw"});
}

TEST_F(ClientTest, EveryEndTakesEveryWindowAndWhatWasStillToCome) {
    Begin("7.0");
    client.OpenRoom("Lobby");
    client.StartUpload("a.zip", 3, Client::RemainingText(2));
    client.ShowAlert();
    EnterKeyword("lobby");  // its room is still to come
    p.Send(Main(), Msg::Close);
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    Begin("8.0");  // a fresh start works after the end
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
    EXPECT_TRUE(p.ChildrenOf(0).empty());  // the client goes with its object
    p.RunFor(5);
    EXPECT_TRUE(p.ChildrenOf(0).empty());
}

TEST_F(ClientTest, AScenarioCannotFloodTheDesktop) {
    Begin("8.0");
    for (int i = 0; i < 100; ++i) client.OpenDocument("spam", {true, 32, 32, 32, 32, 32, 32});
    std::size_t windows = 0;
    std::function<void(Hwnd)> count = [&](Hwnd w) {
        for (Hwnd c : p.ChildrenOf(w)) {
            ++windows;
            count(c);
        }
    };
    count(0);
    EXPECT_EQ(windows, kMaxWindows);
    EXPECT_EQ(Caption(Document("Welcome, Joe Blow!")), "Welcome, Joe Blow!");  // still there
    EXPECT_EQ(client.OpenRoom("Lobby"), 0u);
}

}  // namespace
}  // namespace aolsim::testing
