// The client's windows outside the chat room: the version its menus tell,
// menu commands, signing on and off, keywords, the toolbar's pop-up menus,
// the resume windows, transfers and what is recorded of them.
#include <gtest/gtest.h>

#include "aolsim/sim/sim_client.h"
#include "aolsim/tests/driver.h"

namespace aolsim {
namespace {

using testing::Driver;
using qm::Hwnd;
using Lines = std::vector<std::string>;

class ClientTest : public ::testing::Test {
protected:
    void Begin(const char* version, const char* name = "Joe Blow") {
        client.Start(version);
        if (name) client.SignOn(name);
    }
    std::vector<std::string> DocumentCaptions() {
        std::vector<std::string> captions;
        for (Hwnd h : p.ChildrenOf(d.Mdi())) captions.push_back(p.TextOf(h));
        return captions;
    }
    qm::sim::SimPlatform p;
    SimClient client{p};
    Driver d{p};
};

// ---- version and menus ---------------------------------------------------------------

TEST_F(ClientTest, MenusTellEachVersion) {
    for (const char* v : {"2.5", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0"}) {
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        c2.Start(v);
        EXPECT_EQ(Driver(p2).GetAolVersion(), v);
        EXPECT_EQ(VersionName(c2.GetVersion()), v);
    }
    for (const char* v : {"foreign", "9.0", "", "8.0 "}) {
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        c2.Start(v);
        EXPECT_EQ(Driver(p2).GetAolVersion(), "foreign") << v;
        EXPECT_EQ(c2.GetVersion(), Version::Foreign);
    }
}

TEST_F(ClientTest, MenusUnreadableFromOutsideReadAsForeign) {
    Begin("8.0");
    p.SetMenusUnreadable(true);
    EXPECT_EQ(d.GetAolVersion(), "foreign");
}

TEST_F(ClientTest, LateVersionsOpenTheDownloadManagerFromTheFileMenu) {
    for (const char* v : {"6.0", "7.0", "8.0"}) {
        SCOPED_TRACE(v);
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        Driver d2(p2);
        c2.Start(v);
        c2.SignOn("Joe");
        d2.RunAolMenuItem("&File");
        EXPECT_EQ(c2.DownloadManager(), 0u);  // the first call is harmless
        d2.RunAolMenuItem("&Download Manager");
        Hwnd dm = d2.Document("Download Manager");
        ASSERT_NE(dm, 0u);
        EXPECT_EQ(d2.FirstDocument(), dm);
        EXPECT_EQ(c2.MenuCommands(), (Lines{"&File Search", "&Download Manager"}));
    }
}

TEST_F(ClientTest, EarlyVersionsHaveNoDownloadManagerMenuItem) {
    Begin("5.0");
    d.RunAolMenuItem("&Download Manager");
    EXPECT_EQ(client.DownloadManager(), 0u);
    EXPECT_TRUE(client.MenuCommands().empty());
}

TEST_F(ClientTest, UnknownCommandIdsAreIgnored) {
    Begin("8.0");
    p.Send(d.Main(), qm::Msg::Command, 7);
    p.Send(d.Main(), qm::Msg::Command, 0xFFFFu);
    EXPECT_TRUE(client.MenuCommands().empty());
    EXPECT_TRUE(client.Running());
}

TEST_F(ClientTest, SignOffMenuItemSignsOff) {
    Begin("7.0");
    d.RunAolMenuItem("&Sign Off");
    EXPECT_FALSE(client.SignedOn());
    EXPECT_NE(d.FindSignOnWindow(), 0u);
}

// ---- the window tree ---------------------------------------------------------------------

TEST_F(ClientTest, StartShowsTheSignOnWindowOnly) {
    Begin("8.0", nullptr);
    EXPECT_EQ(DocumentCaptions(), Lines{"Sign On"});
    EXPECT_EQ(d.GetScreenName(), "");
    EXPECT_EQ(d.FindSignOnWindow(), client.SignOnWindow());
    EXPECT_EQ(p.FindWindowEx(d.FirstDocument(), 0, "_AOL_Edit"), client.PasswordBox());
}

TEST_F(ClientTest, SignOnShowsWelcomeAndInLateVersionsChannels) {
    Begin("8.0");
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    EXPECT_EQ(d.GetScreenName(), "Joe Blow");
    EXPECT_EQ(d.FindSignOnWindow(), 0u);
    qm::sim::SimPlatform p2;
    SimClient c2(p2);
    c2.Start("5.0");
    c2.SignOn("Jane");
    EXPECT_EQ(p2.TextOf(Driver(p2).FirstDocument()), "Welcome, Jane!");
    EXPECT_EQ(c2.ChannelsWindow(), 0u);
}

TEST_F(ClientTest, ToolbarHasItsIconsThenTheKeywordBox) {
    Begin("4.0");
    std::vector<Hwnd> kids = p.ChildrenOf(d.Bar());
    ASSERT_GE(kids.size(), 6u);
    for (std::size_t i = 0; i + 1 < kids.size(); ++i) EXPECT_EQ(p.ClassOf(kids[i]), "_AOL_Icon");
    EXPECT_EQ(p.ClassOf(kids.back()), "_AOL_Combobox");
    EXPECT_EQ(d.KeywordEdit(), client.KeywordBox());
}

TEST_F(ClientTest, DocumentOrderIsTheScenarios) {
    Begin("6.0");
    Handle a = client.OpenDocument("A", {});
    Handle b = client.OpenDocument("B", {});
    client.SetDocumentOrder({a, client.WelcomeWindow(), b});
    EXPECT_EQ(DocumentCaptions(), (Lines{"A", "Welcome, Joe Blow!", "B", "AOL Channels"}));
    EXPECT_EQ(d.FindWelcomeWindow(), client.WelcomeWindow());
}

// ---- signing off and on ------------------------------------------------------------------

TEST_F(ClientTest, DisconnectLeavesTheSignOnWindowBehindItsLeftovers) {
    Begin("8.0");
    client.OpenRoom("Lobby");
    Handle other = client.OpenDocument("Status Report", {false, 0, 0, 1, 1, 0, 0});
    client.Disconnect({true, true});
    EXPECT_EQ(DocumentCaptions(), (Lines{"Status", "File Transfer Status", "Sign On", "Status Report"}));
    EXPECT_EQ(d.GetScreenName(), "");
    EXPECT_EQ(d.FindChatRoom(), 0u);
    EXPECT_EQ(d.FindSignOnWindow(), client.SignOnWindow());
    EXPECT_EQ(d.FindWelcomeWindow(), 0u);
    EXPECT_NE(other, 0u);
    // Closing the leftovers (posted) is recorded; "Status Report" stays.
    p.Post(d.Document("File Transfer Status"), qm::Msg::Close);
    p.Post(d.Document("Status"), qm::Msg::Close);
    p.ProcessEvents();
    EXPECT_EQ(client.Captions(WindowEvent::Closed), (Lines{"File Transfer Status", "Status"}));
    EXPECT_EQ(DocumentCaptions(), (Lines{"Sign On", "Status Report"}));
}

TEST_F(ClientTest, TypedPasswordSignsOnAfterTheDelay) {
    Begin("8.0");
    client.OpenRoom("Lobby");
    client.Disconnect({});
    client.SetDelays({5, 1, 0, 0, 0});
    d.TypeSignOnPassword("s3cr\xB7t");
    EXPECT_EQ(client.PasswordsTyped(), Lines{"s3cr\xB7t"});
    EXPECT_TRUE(client.Connecting());
    EXPECT_EQ(d.FindSignOnWindow(), 0u);  // connecting: neither state
    EXPECT_EQ(DocumentCaptions(), Lines{"Connecting"});
    p.RunFor(4.9);
    EXPECT_EQ(d.FindWelcomeWindow(), 0u);
    EXPECT_TRUE(d.WaitForSignOn());
    EXPECT_EQ(p.Now(), 5.0);
    EXPECT_EQ(d.GetScreenName(), "Joe Blow");
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
}

TEST_F(ClientTest, AWrongPasswordOrAFailureGoesBackToSignOn) {
    Begin("6.0");
    client.Disconnect({});
    client.RequirePassword("right");
    d.TypeSignOnPassword("wrong");
    EXPECT_FALSE(d.WaitForSignOn());
    EXPECT_NE(d.FindSignOnWindow(), 0u);
    client.FailSignOns(1);
    d.TypeSignOnPassword("right");
    EXPECT_FALSE(d.WaitForSignOn());
    d.TypeSignOnPassword("right");
    EXPECT_TRUE(d.WaitForSignOn());
    EXPECT_EQ(client.PasswordsTyped(), (Lines{"wrong", "right", "right"}));
}

TEST_F(ClientTest, EnterOutsideTheSignOnScreenTypesNoPassword) {
    Begin("8.0");
    // Signed on: the first document has no "_AOL_Edit"; nothing happens.
    d.TypeSignOnPassword("pw");
    EXPECT_TRUE(client.PasswordsTyped().empty());
    EXPECT_TRUE(client.SignedOn());
}

TEST_F(ClientTest, TheSignOnIconSignsOnToo) {
    Begin("4.0", nullptr);
    p.SetText(client.PasswordBox(), "pw");
    d.PressByMouse(d.Icon(client.SignOnWindow(), 4));
    EXPECT_EQ(client.PasswordsTyped(), Lines{"pw"});
    EXPECT_TRUE(client.Connecting());
}

TEST_F(ClientTest, ClientVanishingOnThePasswordEndsTheWait) {
    Begin("8.0");
    client.Disconnect({});
    client.When(Trigger::PasswordTyped, Reaction::Vanish);
    d.TypeSignOnPassword("pw");
    EXPECT_FALSE(d.WaitForSignOn());
    EXPECT_EQ(d.Main(), 0u);
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    EXPECT_EQ(client.PasswordsTyped(), Lines{"pw"});
}

TEST_F(ClientTest, ClosingTheMainWindowEndsTheClient) {
    Begin("7.0");
    client.OpenRoom("Lobby");
    client.StartUpload("a.zip", 3, Client::RemainingText(2));
    client.ShowAlert();
    p.Send(d.Main(), qm::Msg::Close);
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    // A fresh start works after the end.
    client.Start("8.0");
    EXPECT_EQ(d.GetAolVersion(), "8.0");
}

// ---- keywords ---------------------------------------------------------------------------

TEST_F(ClientTest, KeywordOpensTheRoomAfterTheDelay) {
    Begin("8.0");
    d.EnterKeyword("lobby");
    EXPECT_EQ(client.KeywordsSubmitted(), Lines{"lobby"});
    EXPECT_EQ(d.GetText(d.KeywordEdit()), "");
    p.RunFor(0.6);  // one second after the Enter
    Handle room = d.FindChatRoom();
    ASSERT_NE(room, 0u);
    EXPECT_EQ(d.Caption(room), "lobby");
    EXPECT_EQ(d.FirstDocument(), room);
    d.SendChatLine("dcp re-enter", true);
    EXPECT_EQ(client.Transcript("lobby"), Lines{"dcp re-enter"});
}

TEST_F(ClientTest, TheKeywordBoxIsAnEditWithItsCaretAtZero) {
    Begin("8.0");
    Hwnd edit = d.KeywordEdit();
    p.SetText(edit, "abc");
    p.Send(edit, qm::Msg::Char, 'x');
    p.Send(edit, qm::Msg::Char, 'y');
    EXPECT_EQ(d.GetText(edit), "xyabc");
    p.Send(edit, qm::Msg::Char, 8);
    EXPECT_EQ(d.GetText(edit), "xabc");
}

TEST_F(ClientTest, RoomAddressesAndMappedKeywordsNameTheirRoom) {
    Begin("6.0");
    client.MapKeyword("teen chat", "Teens 12");
    d.EnterKeyword("aol://2719:2-2-Lobby 7");
    d.EnterKeyword("TEEN CHAT");
    p.RunFor(1);
    EXPECT_NE(client.Room("Lobby 7"), 0u);
    EXPECT_NE(client.Room("Teens 12"), 0u);
    // The same room again is brought to the front, not opened twice.
    d.EnterKeyword("lobby 7");
    p.RunFor(1);
    EXPECT_EQ(d.FirstDocument(), client.Room("Lobby 7"));
    EXPECT_EQ(DocumentCaptions().size(), 4u);  // two rooms, channels, welcome
}

TEST_F(ClientTest, RefusedKeywordsBringTheAlert) {
    Begin("8.0");
    client.RejectKeyword("nowhere");
    d.EnterKeyword("nowhere");
    EXPECT_NE(d.FindAolAlert(), 0u);
    d.DismissAolAlert();
    client.AlertAfterKeywords(1);
    d.EnterKeyword("full room");
    EXPECT_NE(d.FindAolAlert(), 0u);
    d.DismissAolAlert();
    p.RunFor(2);
    EXPECT_EQ(d.FindChatRoom(), 0u);
    EXPECT_EQ(client.AlertsShown(), 2);
    EXPECT_EQ(client.AlertsDismissed(), 2);
}

TEST_F(ClientTest, AnEmptyKeywordDoesNothingAndSignedOffAlerts) {
    Begin("8.0");
    d.EnterKeyword("");
    p.RunFor(2);
    EXPECT_EQ(client.KeywordsSubmitted(), Lines{""});
    EXPECT_EQ(client.AlertsShown(), 0);
    client.SignOff();
    d.EnterKeyword("lobby");
    p.RunFor(2);
    EXPECT_EQ(client.AlertsShown(), 1);
    EXPECT_EQ(d.FindChatRoom(), 0u);
}

TEST_F(ClientTest, SigningOffBeforeTheRoomOpensOpensNoRoom) {
    Begin("8.0");
    d.EnterKeyword("lobby");
    client.Disconnect({});
    p.RunFor(2);
    EXPECT_EQ(client.Room("lobby"), 0u);
}

// ---- toolbar pop-up menus and resume windows ----------------------------------------

TEST_F(ClientTest, FifthIconKeyDOpensTheDownloadManager) {
    for (const char* v : {"4.0", "5.0", "6.0", "7.0", "8.0"}) {
        SCOPED_TRACE(v);
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        Driver d2(p2);
        c2.Start(v);
        c2.SignOn("Joe");
        ASSERT_TRUE(d2.ClickToolbarMenu(4, 'D'));
        EXPECT_EQ(p2.FindWindow("#32768"), 0u);
        EXPECT_EQ(c2.ToolbarClicks(), std::vector<int>{5});
        EXPECT_EQ(c2.PopupPicks(), Lines{"&Download Manager"});
        EXPECT_EQ(d2.FirstDocument(), d2.Document("Download Manager"));
    }
}

TEST_F(ClientTest, KeyBOpensTheUploadWindowFromTheVersionsIcon) {
    struct Case {
        const char* version;
        int index, wrong;
    };
    for (Case c : {Case{"4.0", 2, 0}, Case{"5.0", 2, 0}, Case{"6.0", 0, 2}, Case{"7.0", 0, 2}, Case{"8.0", 0, 2}}) {
        SCOPED_TRACE(c.version);
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        Driver d2(p2);
        c2.Start(c.version);
        c2.SignOn("Joe");
        // The other group's icon opens no menu: nothing to send the key to.
        EXPECT_FALSE(d2.ClickToolbarMenu(c.wrong, 'b', 1));
        ASSERT_TRUE(d2.ClickToolbarMenu(c.index, 'b'));
        Hwnd first = d2.FirstDocument();
        EXPECT_EQ(d2.Caption(first), "Mail Waiting to Be Sent");
        Hwnd fourth = d2.Icon(first, 4);
        ASSERT_NE(fourth, 0u);
        d2.PressBySpace(fourth);
        d2.PressByMouse(fourth);
        EXPECT_EQ(c2.UploadResumePresses(), 2);
        EXPECT_EQ(c2.IconPresses(), (std::vector<IconPress>{{"Mail Waiting to Be Sent", 4, true},
                                                            {"Mail Waiting to Be Sent", 4, false}}));
    }
}

TEST_F(ClientTest, OldClientsHaveNoToolbarMenus) {
    for (const char* v : {"2.5", "3.0", "foreign"}) {
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        c2.Start(v);
        c2.SignOn("Joe");
        EXPECT_FALSE(Driver(p2).ClickToolbarMenu(4, 'D', 1)) << v;
    }
}

TEST_F(ClientTest, PopupMenuKeysAndEscape) {
    Begin("8.0");
    d.p.Post(d.Icon(d.Bar(), 5), qm::Msg::LButtonDown);
    d.p.Post(d.Icon(d.Bar(), 5), qm::Msg::LButtonUp);
    p.ProcessEvents();
    Hwnd menu = p.FindWindow("#32768");
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), menu);
    p.Post(menu, qm::Msg::Char, 'z');  // no such key: stays open
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), menu);
    p.Post(menu, qm::Msg::KeyDown, kVkEscape);
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("#32768"), 0u);
    EXPECT_TRUE(client.PopupPicks().empty());
    // A lower-case key picks the upper-case accelerator.
    EXPECT_TRUE(d.ClickToolbarMenu(4, 'p'));
    EXPECT_EQ(client.PopupPicks(), Lines{"&Personal Filing Cabinet"});
}

TEST_F(ClientTest, ASlowPopupComesLate) {
    Begin("5.0");
    client.SetDelays({3, 1, 0, 0, 1.5});
    EXPECT_FALSE(d.ClickToolbarMenu(4, 'D', 1));
    EXPECT_EQ(p.FindWindow("#32768"), 0u);
    p.RunFor(0.5);
    EXPECT_NE(p.FindWindow("#32768"), 0u);  // it came after the driver gave up
    EXPECT_TRUE(client.PopupPicks().empty());
}

TEST_F(ClientTest, DownloadManagerSecondIconResumesTheBrokenDownload) {
    Begin("6.0");
    client.StartDownload("song.wav", 45, Client::RemainingText(3));
    client.Disconnect({true, false});
    EXPECT_EQ(client.DownloadWindow(), 0u);
    client.SignOn("Joe Blow");
    d.RunAolMenuItem("&File");
    d.RunAolMenuItem("&Download Manager");
    p.RunFor(2);
    Hwnd dm = d.Document("Download Manager");
    Hwnd second = d.Icon(dm, 2);
    d.PressBySpace(second);
    EXPECT_EQ(client.DownloadResumePresses(), 1);
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Download Manager", 2, true}}));
    Hwnd transfer = client.DownloadWindow();
    ASSERT_NE(transfer, 0u);
    EXPECT_EQ(d.Caption(transfer), "File Transfer");
    EXPECT_EQ(d.GetText(p.FindWindowEx(transfer, 0, "_AOL_Static")), "Now Downloading song.wav");
    p.RunFor(3);
    p.Send(dm, qm::Msg::Close);
    EXPECT_EQ(d.Document("Download Manager"), 0u);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

TEST_F(ClientTest, PressesNeedADownFirstAndOtherIconsResumeNothing) {
    Begin("8.0");
    d.RunAolMenuItem("&Download Manager");
    Hwnd dm = client.DownloadManager();
    p.Send(d.Icon(dm, 2), qm::Msg::KeyUp, qm::kVkSpace);  // no press began
    p.Send(d.Icon(dm, 2), qm::Msg::LButtonUp);
    d.PressBySpace(d.Icon(dm, 1));
    EXPECT_EQ(client.DownloadResumePresses(), 0);
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Download Manager", 1, true}}));
    EXPECT_EQ(client.DownloadWindow(), 0u);  // nothing was broken off
}

TEST_F(ClientTest, OutboxResumesTheBrokenUpload) {
    Begin("8.0");
    client.StartUpload("pics.zip", 12, Client::RemainingText(1));
    client.Disconnect({});
    EXPECT_EQ(client.UploadWindow(), 0u);
    client.SignOn("Joe Blow");
    ASSERT_TRUE(d.ClickToolbarMenu(0, 'b'));
    d.PressBySpace(d.Icon(d.FirstDocument(), 4));
    Hwnd modal = p.FindWindow("_AOL_Modal");
    ASSERT_NE(modal, 0u);
    EXPECT_EQ(d.GetText(modal), "File Transfer");
    EXPECT_EQ(d.GetText(p.FindWindowEx(modal, 0, "_AOL_Static")), "Now Uploading pics.zip");
}

// ---- transfers --------------------------------------------------------------------------

TEST_F(ClientTest, DownloadWindowCaptionAndTexts) {
    Begin("5.0");
    Handle w = client.StartDownload("Report.ZIP", -1, "Calculating Transfer Time");
    EXPECT_EQ(d.Caption(w), "File Transfer");
    EXPECT_EQ(p.ParentOf(w), d.Mdi());
    Hwnd s1 = p.FindWindowEx(w, 0, "_AOL_Static");
    Hwnd s2 = p.FindWindowEx(w, s1, "_AOL_Static");
    EXPECT_EQ(d.GetText(s1), "Now Downloading Report.ZIP");
    EXPECT_EQ(d.GetText(s2), "Calculating Transfer Time");
    client.SetDownloadProgress(45, Client::RemainingText(3));
    EXPECT_EQ(d.Caption(w), "File Transfer - 45%");
    EXPECT_EQ(d.GetText(s2), "About 3 minutes remaining.");
    client.SetDownloadProgress(99, Client::RemainingText(0));
    EXPECT_EQ(d.GetText(s2), "Less than a minute remaining.");
    client.SetDownloadProgress(99, Client::RemainingText(1));
    EXPECT_EQ(d.GetText(s2), "About 1 minute remaining.");
    client.EndDownload();
    EXPECT_FALSE(p.IsWindow(w));
}

TEST_F(ClientTest, UploadWindowIsATopLevelModalWhoseShowsAreRecorded) {
    Begin("8.0");
    Handle w = client.StartUpload("a.zip", 12, Client::RemainingText(2));
    EXPECT_EQ(p.FindWindow("_AOL_MODAL"), w);
    EXPECT_EQ(d.GetText(w), "File Transfer - 12%");
    EXPECT_EQ(d.GetText(p.FindWindowEx(w, 0, "_AOL_Static")), "Now Uploading a.zip");
    p.ShowWindow(w, qm::ShowCmd::Hide);
    p.ShowWindow(w, qm::ShowCmd::Minimize);
    p.ShowWindow(w, qm::ShowCmd::Hide);
    p.ShowWindow(w, qm::ShowCmd::Restore);
    using E = WindowEvent;
    const std::string c = "File Transfer - 12%";
    EXPECT_EQ(client.WindowEvents(), (std::vector<E>{{E::Hidden, "_AOL_Modal", c}, {E::Minimized, "_AOL_Modal", c},
                                                     {E::Hidden, "_AOL_Modal", c}, {E::Restored, "_AOL_Modal", c}}));
    EXPECT_FALSE(p.Minimized(w));
    client.SetUploadProgress(50, Client::RemainingText(1));
    EXPECT_EQ(d.GetText(w), "File Transfer - 50%");
}

TEST_F(ClientTest, AnotherModalStaysInFrontOfTheUpload) {
    Begin("8.0");
    Handle other = client.ShowOtherModal("Attention");
    Handle upload = client.StartUpload("a.zip", 1, "");
    EXPECT_EQ(p.FindWindow("_AOL_Modal"), other);
    client.CloseOtherModal();
    EXPECT_EQ(p.FindWindow("_AOL_Modal"), upload);
}

TEST_F(ClientTest, WelcomeHiddenIsRecordedWithItsCaption) {
    Begin("4.0");
    p.ShowWindow(d.FindWelcomeWindow(), qm::ShowCmd::Hide);
    EXPECT_EQ(client.Captions(WindowEvent::Hidden), Lines{"Welcome, Joe Blow!"});
    EXPECT_FALSE(p.Visible(client.WelcomeWindow()));
}

// ---- faults -----------------------------------------------------------------------------

TEST_F(ClientTest, VanishAfterTakesEveryWindow) {
    Begin("8.0");
    client.StartUpload("a.zip", 1, "");
    client.VanishAfter(2);
    p.RunFor(1.9);
    EXPECT_TRUE(client.Running());
    p.RunFor(0.1);
    EXPECT_FALSE(client.Running());
    EXPECT_TRUE(p.ChildrenOf(0).empty());
}

TEST_F(ClientTest, DelayedActionsOfAnEarlierLifeDoNothing) {
    Begin("8.0");
    client.SetDelays({3, 1, 0, 0, 0});
    d.EnterKeyword("lobby");
    client.Vanish();
    client.Start("8.0");
    client.SignOn("Joe");
    p.RunFor(2);
    EXPECT_EQ(client.Room("lobby"), 0u);
}

TEST_F(ClientTest, ADisconnectOnTheKeywordLeavesTheWaitWithTheSignOnWindow) {
    Begin("8.0");
    client.When(Trigger::KeywordEntered, Reaction::Disconnect);
    d.EnterKeyword("lobby");
    p.RunFor(2);
    EXPECT_FALSE(client.SignedOn());
    EXPECT_NE(d.FindSignOnWindow(), 0u);
    EXPECT_EQ(client.Room("lobby"), 0u);
}

TEST_F(ClientTest, AScenarioCannotFloodTheDesktop) {
    Begin("8.0");
    DocumentParts many{true, 32, 32, 32, 32, 32, 32};
    for (int i = 0; i < 100; ++i) client.OpenDocument("spam", many);
    std::size_t windows = 0;
    std::function<void(Hwnd)> count = [&](Hwnd w) {
        for (Hwnd c : p.ChildrenOf(w)) {
            ++windows;
            count(c);
        }
    };
    count(0);
    EXPECT_EQ(windows, kMaxWindows);
    // The client still works within what it has.
    EXPECT_EQ(d.GetScreenName(), "Joe Blow");
    EXPECT_EQ(client.OpenRoom("Lobby"), 0u);
}

TEST_F(ClientTest, TheClientGoesWithItsObject) {
    {
        SimClient c2(p);
        c2.Start("8.0");
        c2.SignOn("Joe");
        c2.ShowAlert();
        c2.StartUpload("x", 1, "");
        d.EnterKeyword("lobby");  // leaves a delayed action behind
    }
    EXPECT_TRUE(p.ChildrenOf(0).empty());
    p.RunFor(5);  // the delayed action finds nothing to do
    EXPECT_TRUE(p.ChildrenOf(0).empty());
}

}  // namespace
}  // namespace aolsim
