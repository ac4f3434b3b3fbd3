// The disconnect protection monitor against the stand-in client, in virtual
// time: Timer2 looks every 8 seconds; a client found signed off at its
// sign-on window is signed back on, the room re-entered and announced, and
// the broken-off transfers resumed, as the check marks say.
#include <gtest/gtest.h>

#include "aol/bounds.h"
#include "aolsim/sim/sim_client.h"
#include "app/program.h"
#include "app/settings.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

using aolsim::IconPress;
using aolsim::WindowEvent;
using Lines = std::vector<std::string>;

constexpr const char* kSettingsFile = "C:\\quillmoor\\quillmoor.dat";
constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";
constexpr const char* kWelcome = "Welcome, Joe Blow!";
const std::string kReenterLine =
    "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" "
    "color=#000000>quillmoor idle \xB7 <font color=#0000ff>dcp re-enter";

class Monitor : public ::testing::Test {
protected:
    Monitor() { sim.SetProgramFolder("C:\\quillmoor"); }

    // The client lost its connection; quillmoor starts with protection on and
    // these further "[dcp]" entries (and any other sections after them).
    void Begin(const char* version, const std::string& dcp = "", const std::string& more = "") {
        client.Start(version);
        client.SignOn("Joe Blow");
        client.Disconnect();
        StartProgram(dcp, more);
    }
    void StartProgram(const std::string& dcp = "", const std::string& more = "") {
        sim.SetFileBytes(kSettingsFile, "[dcp]\r\nAUTO DCP=yes\r\n" + dcp + more);
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.form1.Timer2.Enabled());
        started = sim.Now();
    }
    // Seconds since Timer2 was switched on (the start-up's own lines take a
    // moment); the first look comes at 8.
    double Since() { return sim.Now() - started; }
    void StorePassword(const std::string& password) {
        sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=" + password + "\r\n");
    }
    // Lets Timer2's first look happen; returns once it has ended.
    void FirstLook() { sim.RunFor(8); }

    // Every window text and every file but the password file.
    std::vector<std::string> EverythingShown() {
        std::vector<std::string> texts;
        std::vector<Hwnd> todo = sim.ChildrenOf(0);
        while (!todo.empty()) {
            Hwnd w = todo.back();
            todo.pop_back();
            texts.push_back(sim.TextOf(w));
            for (Hwnd child : sim.ChildrenOf(w)) todo.push_back(child);
        }
        texts.push_back(sim.FileBytes(kSettingsFile).value_or(""));
        for (const aolsim::ChatLine& line : client.Chat()) texts.push_back(line.text);
        for (const std::string& keyword : client.KeywordsSubmitted()) texts.push_back(keyword);
        for (const sim::PromptCall& prompt : sim.Prompts()) texts.push_back(prompt.prompt + prompt.defaultText);
        return texts;
    }

    sim::SimPlatform sim;
    aolsim::SimClient client{sim};
    Program program{sim};
    double started = 0;
};

// ---- what a look does, by what it finds --------------------------------------------------------

TEST_F(Monitor, NoClientMeansTheLookDoesNothing) {
    StartProgram("RE-ENTER ROOM=yes\r\nRESUME DOWNLOAD=yes\r\n");
    const auto before = sim.FileBytes(kSettingsFile);
    FirstLook();
    EXPECT_NEAR(Since(), 8.0, 1e-6);
    EXPECT_EQ(sim.FileBytes(kSettingsFile), before);
    EXPECT_EQ(sim.FileBytes(kPasswordFile), std::nullopt);
}

TEST_F(Monitor, SignedOnOnlyTheLeftoversAreClosed) {
    client.Start("8.0");
    client.SignOn("Joe Blow");
    client.OpenDocument("Status Report", {.icons = 1});
    client.OpenDocument("Status", {.icons = 1});
    client.OpenDocument("File Transfer Status", {.icons = 1});
    StartProgram("RE-ENTER ROOM=yes\r\nROOM=lobby\r\nRESUME DOWNLOAD=yes\r\n");
    ASSERT_EQ(client.Captions(WindowEvent::Hidden), Lines{kWelcome}) << "by the start-up";
    FirstLook();
    EXPECT_EQ(client.Captions(WindowEvent::Closed), (Lines{"File Transfer Status", "Status"}));
    EXPECT_NE(client.FindDocument("Status Report"), 0u);
    EXPECT_NEAR(Since(), 10.0, 0.01);  // a second after each
    EXPECT_TRUE(client.PasswordsTyped().empty());
    EXPECT_EQ(client.Captions(WindowEvent::Hidden), Lines{kWelcome});
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_TRUE(client.MenuCommands().empty());
}

TEST_F(Monitor, SignedOffWithoutSignOnWindowOnlyTheLeftoversAreClosed) {
    client.Start("8.0");
    client.SignOn("Joe Blow");
    client.Disconnect({.status = true});
    client.DestroyWindow(client.SignOnWindow());
    StorePassword("secret");
    StartProgram();
    FirstLook();
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Status"});
    EXPECT_TRUE(client.PasswordsTyped().empty());
    EXPECT_NEAR(Since(), 9.0, 0.01);
}

// ---- the re-sign-on -----------------------------------------------------------------------------

TEST_F(Monitor, SignsBackOnAndHidesWhatTheClientOpens) {
    StorePassword("secret");
    Begin("8.0");
    FirstLook();
    EXPECT_EQ(client.PasswordsTyped(), Lines{"secret"});
    EXPECT_TRUE(client.SignedOn());
    // The welcome window, then the first document (the welcome again: the
    // channels window in front of it was closed).
    EXPECT_EQ(client.Captions(WindowEvent::Hidden), (Lines{kWelcome, kWelcome}));
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"AOL Channels"});
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_TRUE(client.IconPresses().empty());
    EXPECT_TRUE(client.ToolbarClicks().empty());
    EXPECT_TRUE(client.MenuCommands().empty());
}

TEST_F(Monitor, ReEntersTheRoomAndAnnouncesItOnce) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n");
    FirstLook();
    EXPECT_EQ(client.KeywordsSubmitted(), Lines{"lobby"});
    EXPECT_EQ(sim.TextOf(client.KeywordBox()), "");
    EXPECT_EQ(client.Transcript("lobby"), Lines{kReenterLine});
    EXPECT_EQ(client.Chat().size(), 1u);
}

TEST_F(Monitor, PausesSpaceTheSequence) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n");
    // The look begins at 8; the client takes 3 s to sign on and 1 s to open
    // the room.
    auto at = [&](double t, std::function<void()> check) { sim.Schedule(t, std::move(check)); };
    at(11.9, [&] { EXPECT_TRUE(client.PasswordsTyped().empty()) << "4 s before typing"; });
    at(12.1, [&] { EXPECT_EQ(client.PasswordsTyped().size(), 1u); });
    at(24.9, [&] { EXPECT_TRUE(client.Captions(WindowEvent::Hidden).empty()) << "2 s, the sign-on, 10 s"; });
    at(25.1, [&] { EXPECT_EQ(client.Captions(WindowEvent::Hidden), Lines{kWelcome}); });
    at(25.9, [&] { EXPECT_TRUE(client.Captions(WindowEvent::Closed).empty()); });
    at(26.1, [&] { EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"AOL Channels"}); });
    at(26.9, [&] { EXPECT_EQ(client.Captions(WindowEvent::Hidden).size(), 1u); });
    at(27.1, [&] { EXPECT_EQ(client.Captions(WindowEvent::Hidden).size(), 2u); });
    at(28.1, [&] { EXPECT_TRUE(client.KeywordsSubmitted().empty()); });
    at(28.3, [&] { EXPECT_EQ(client.KeywordsSubmitted().size(), 1u); });
    // The room is there at 29.2; the line follows 2 s later.
    at(31.1, [&] { EXPECT_TRUE(client.Chat().empty()); });
    at(31.3, [&] { EXPECT_EQ(client.Chat().size(), 1u); });
    FirstLook();
    EXPECT_NEAR(Since(), 32.2, 0.01);  // and a last second
}

TEST_F(Monitor, NoStoredPasswordTypesAnEmptyOne) {
    Begin("7.0");
    FirstLook();
    EXPECT_EQ(client.PasswordsTyped(), Lines{""});
    EXPECT_TRUE(client.SignedOn());
}

TEST_F(Monitor, NoStoredRoomSubmitsAnEmptyKeywordAndStillAnnounces) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\n");
    // The empty keyword opens nothing; a room the user opens meanwhile is
    // where the line goes (the keyword went in at 28.2).
    sim.Schedule(33, [&] { client.OpenRoom("Town Square"); });
    FirstLook();
    EXPECT_EQ(client.KeywordsSubmitted(), Lines{""});
    EXPECT_EQ(client.Transcript("Town Square"), Lines{kReenterLine});
    EXPECT_NEAR(Since(), 33 + 2 + 1, 0.01);
}

TEST_F(Monitor, SignOnWindowBehindAnotherDocumentStillGetsThePassword) {
    StorePassword("secret");
    client.Start("5.0");
    client.SignOn("Joe Blow");
    client.Disconnect();
    aolsim::Handle mail = client.OpenDocument("Write Mail", {.icons = 2, .statics = 1, .edits = 1});
    StartProgram();
    FirstLook();
    EXPECT_EQ(client.PasswordsTyped(), Lines{"secret"});
    EXPECT_TRUE(client.SignedOn());
    EXPECT_EQ(sim.TextOf(sim.FindWindowEx(mail, 0, "_AOL_Edit")), "");
}

TEST_F(Monitor, StoredPasswordShowsNowhereButInTheSignOnBox) {
    StorePassword("hunter2");
    client.Start("8.0");
    client.SignOn("Joe Blow");
    client.StartDownload("big.zip", 40, aolsim::Client::RemainingText(3));
    client.Disconnect();
    StartProgram("RE-ENTER ROOM=yes\r\nROOM=lobby\r\nRESUME DOWNLOAD=yes\r\n");
    FirstLook();
    ASSERT_EQ(client.PasswordsTyped(), Lines{"hunter2"});
    ASSERT_EQ(client.Transcript("lobby").size(), 1u);
    for (const std::string& text : EverythingShown()) EXPECT_EQ(text.find("hunter2"), std::string::npos) << text;
}

// ---- versions and resuming ---------------------------------------------------------------------------

class Versions : public Monitor {
protected:
    // Transfers of both directions broke off with the connection.
    void Interrupted(const char* version, const std::string& dcp) {
        StorePassword("secret");
        client.Start(version);
        client.SignOn("Joe Blow");
        client.StartDownload("big.zip", 40, aolsim::Client::RemainingText(3));
        client.StartUpload("pics.zip", 12, aolsim::Client::RemainingText(9));
        client.Disconnect();
        StartProgram(dcp);
    }
};

TEST_F(Versions, LateGroupClosesChannelsAndResumesDownloadBeforeUpload) {
    Interrupted("8.0", "RESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n");
    ASSERT_TRUE(program.form2.Checked("resumedl") && program.form2.Checked("resumeul"));
    FirstLook();
    EXPECT_EQ(client.MenuCommands(), (Lines{"&File Search", "&Download Manager"}));
    EXPECT_EQ(client.ToolbarClicks(), std::vector<int>{1});
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Download Manager", 2, true},
                                                            {"Mail Waiting to Be Sent", 4, true}}));
    EXPECT_NE(client.DownloadWindow(), 0u);
    EXPECT_NE(client.UploadWindow(), 0u);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), (Lines{"AOL Channels", "Download Manager"}));
}

TEST_F(Versions, EarlyGroupClosesNoChannelsAndResumesThroughTheToolbar) {
    Interrupted("5.0", "RESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n");
    client.OpenDocument("AOL Channels", {.icons = 2, .statics = 1});
    FirstLook();
    EXPECT_TRUE(client.MenuCommands().empty());
    EXPECT_EQ(client.ToolbarClicks(), (std::vector<int>{5, 3}));
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Download Manager", 2, true},
                                                            {"Mail Waiting to Be Sent", 4, false}}));
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"Download Manager"});
}

TEST_F(Versions, Version3ClosesNoChannelsAndResumesNothing) {
    Interrupted("3.0", "RESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n");
    client.OpenDocument("AOL Channels", {.icons = 2, .statics = 1});
    FirstLook();
    EXPECT_TRUE(client.SignedOn());
    EXPECT_TRUE(client.Captions(WindowEvent::Closed).empty());
    EXPECT_TRUE(client.MenuCommands().empty());
    EXPECT_TRUE(client.ToolbarClicks().empty());
    EXPECT_TRUE(client.IconPresses().empty());
}

TEST_F(Versions, SetVersionDecidesWhereTheMenusCannotBeRead) {
    sim.SetMenusUnreadable(true);
    Interrupted("7.0", "RESUME UPLOAD=yes\r\n[aol]\r\nVERSION=7.0\r\n");
    FirstLook();
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Lines{"AOL Channels"});
    EXPECT_EQ(client.IconPresses(), (std::vector<IconPress>{{"Mail Waiting to Be Sent", 4, true}}));
}

// ---- sign-ons that do not go to plan -------------------------------------------------------------------

TEST_F(Monitor, LookDueDuringAReSignOnIsSkipped) {
    StorePassword("secret");
    Begin("8.0");
    // Refused within a second: the sign-on window is back long before this
    // look ends, while the looks due at 16 and 24 fall inside it.
    client.SetDelays({.signOn = 1});
    client.FailSignOns(1);
    sim.RunFor(31);
    EXPECT_EQ(client.PasswordsTyped(), Lines{"secret"});
}

TEST_F(Monitor, FailedSignOnIsTriedAgainByTheNextLook) {
    StorePassword("secret");
    Begin("8.0");
    client.FailSignOns(1);
    FirstLook();
    EXPECT_FALSE(client.SignedOn());
    EXPECT_TRUE(client.Captions(WindowEvent::Hidden).empty());
    EXPECT_EQ(client.PasswordsTyped().size(), 1u);
    sim.RunFor(40);
    EXPECT_EQ(client.PasswordsTyped(), (Lines{"secret", "secret"}));
    EXPECT_TRUE(client.SignedOn());
}

TEST_F(Monitor, ClientNeverFinishingItsSignOnIsGivenUpOn) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n");
    client.SetDelays({.signOn = 86400});
    FirstLook();
    EXPECT_TRUE(client.Connecting());
    // 4 + 2 s, the bounded wait, 10 + 1 s.
    EXPECT_NEAR(Since(), 8 + 6 + bounds::kSignOnSeconds + 11, 0.2);
    EXPECT_TRUE(client.Captions(WindowEvent::Hidden).empty());
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    // Still connecting: later looks find no sign-on window.
    sim.RunFor(60);
    EXPECT_EQ(client.PasswordsTyped().size(), 1u);
}

TEST_F(Monitor, ClientClosingAfterThePasswordEndsTheLook) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n");
    client.When(aolsim::Trigger::PasswordTyped, aolsim::Reaction::Vanish);
    FirstLook();
    EXPECT_FALSE(client.Running());
    EXPECT_NEAR(Since(), 8 + 4 + 2 + 10 + 1, 0.2);
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_TRUE(client.Captions(WindowEvent::Hidden).empty());
}

TEST_F(Monitor, AlertAfterTheKeywordIsDismissedAndTheLineStillGoesOut) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n");
    // The alert comes at once; the room follows a second later.
    client.When(aolsim::Trigger::KeywordEntered, aolsim::Reaction::Alert);
    FirstLook();
    EXPECT_EQ(client.AlertsShown(), 1);
    EXPECT_EQ(client.AlertsDismissed(), 1);
    EXPECT_EQ(client.Transcript("lobby"), Lines{kReenterLine});
}

// ---- the menu during a look ---------------------------------------------------------------------------

TEST_F(Monitor, SwitchedOffDuringAReSignOnTheLookRunsToItsEnd) {
    StorePassword("secret");
    Begin("8.0", "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n");
    sim.Schedule(15, [&] { program.form2.Item("enabledcp").Click(); });
    FirstLook();
    EXPECT_FALSE(program.form1.Timer2.Enabled());
    EXPECT_TRUE(client.SignedOn());
    EXPECT_EQ(client.Transcript("lobby"), Lines{kReenterLine});
}

TEST_F(Monitor, ReEnterMarkedDuringTheSequenceIsHonoured) {
    StorePassword("secret");
    Begin("8.0", "ROOM=lobby\r\n");
    sim.Schedule(20, [&] { program.form2.Item("enablereenterroom").Click(); });
    FirstLook();
    EXPECT_EQ(client.KeywordsSubmitted(), Lines{"lobby"});
    EXPECT_EQ(client.Transcript("lobby"), Lines{kReenterLine});
}

}  // namespace
}  // namespace qm
