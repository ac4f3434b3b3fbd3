// The client automation against the stand-in client, version by version, and
// against clients that are slow, busy, hung or gone.
#include <gtest/gtest.h>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "aolsim/sim/sim_client.h"
#include "app/timer.h"

namespace qm::aol {
namespace {

using Lines = std::vector<std::string>;

class EveryVersion : public ::testing::TestWithParam<const char*> {
protected:
    sim::SimPlatform p;
    aolsim::SimClient client{p};
    ChatSender chat{p};
};

TEST_P(EveryVersion, ProbesTellTheClientAndTheLineReachesTheRoomPastAnAlert) {
    client.Start(GetParam());
    EXPECT_EQ(GetScreenName(p), "");
    EXPECT_EQ(FindWelcomeWindow(p), 0u);
    client.SignOn("Joe Blow");
    client.OpenRoom("Help Desk");
    const aolsim::Handle room = client.OpenRoom("Lobby", "half a sen");  // the welcome window third
    EXPECT_EQ(GetAolVersion(p), std::string(GetParam()));
    EXPECT_EQ(FindWelcomeWindow(p), client.WelcomeWindow());
    EXPECT_EQ(GetScreenName(p), "Joe Blow");
    client.AlertAfterChatLines(1);
    chat.SendChatLine("</b><font color=#0000ff>idle \xB7 5m");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"</b><font color=#0000ff>idle \xB7 5m"});
    EXPECT_EQ(client.InputText(room), "half a sen");
    EXPECT_EQ(client.AlertsShown(), 1);
    EXPECT_EQ(client.AlertsDismissed(), 1);
    EXPECT_EQ(FindAolAlert(p), 0u);
}

INSTANTIATE_TEST_SUITE_P(Client, EveryVersion,
                         ::testing::Values("2.5", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0", "foreign"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '.');
                             return name == "foreign" ? name : "v" + name;
                         });

class Scenario : public ::testing::Test {
protected:
    // Signed on in the room "Lobby", with the user's text in its box.
    aolsim::Handle InLobby(const char* version, const char* typed = "mine") {
        client.Start(version);
        client.SignOn("Joe Blow");
        return client.OpenRoom("Lobby", typed);
    }
    void SetDelays(double chat, double alertClose = 0) {
        aolsim::Delays delays = client.GetDelays();
        delays.chat = chat;
        delays.alertClose = alertClose;
        client.SetDelays(delays);
    }
    sim::SimPlatform p;
    aolsim::SimClient client{p};
    ChatSender chat{p};
};

TEST_F(Scenario, LineGoesOnlyIntoTheFrontRealRoom) {
    chat.SendChatLine("no client");
    client.Start("8.0");
    chat.SendChatLine("signed off");
    EXPECT_TRUE(client.PasswordsTyped().empty());
    client.SignOn("Joe Blow");
    const aolsim::Handle lobby = client.OpenRoom("Lobby");
    const aolsim::Handle other = client.OpenRoom("Other");
    const aolsim::Handle almost = client.OpenDocument("Almost a room", {.richcntl = 2, .icons = 4, .statics = 1});
    client.SetDocumentOrder({almost, lobby, other});
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Chat(), (std::vector<aolsim::ChatLine>{{"Lobby", "hi"}}));
}

TEST_F(Scenario, UnreadableMenusStillReachALateRoom) {
    const aolsim::Handle room = InLobby("8.0");
    p.SetMenusUnreadable(true);
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"hi"});
    EXPECT_EQ(client.InputText(room), "mine");
}

TEST_F(Scenario, SlowClientGetsTheLineOnce) {
    InLobby("7.0");
    SetDelays(0.3);
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"hi"});
}

TEST_F(Scenario, BoxThatNeverEmptiesIsGivenUpOn) {
    const aolsim::Handle room = InLobby("4.0");
    client.SetInputNeverEmpties(true);
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), Lines(bounds::kEnterPresses, "hi"));
    EXPECT_EQ(client.InputText(room), "mine");
    EXPECT_LE(p.Now(), bounds::kTakeSeconds + 1);
}

TEST_F(Scenario, AlertAfterEveryLineThatKeepsTheClientBusyWhileItClosesLosesNothing) {
    const aolsim::Handle room = InLobby("8.0", "afk 5");
    client.AlertAfterChatLines(2);
    SetDelays(0, 2.0);
    chat.SendChatLine("one");
    EXPECT_EQ(FindAolAlert(p), 0u) << "gone before the send ended";
    Pause(p, 0.4);
    chat.SendChatLine("two");
    EXPECT_EQ(client.Transcript("Lobby"), (Lines{"one", "two"}));
    EXPECT_EQ(client.InputText(room), "afk 5");
    EXPECT_EQ(client.AlertsDismissed(), 2);
}

TEST_F(Scenario, ClientThatTakesTheLineLateDoesNotSendTheUsersText) {
    const aolsim::Handle room = InLobby("7.0", "afk 5");
    client.When(aolsim::Trigger::ChatLineSent, aolsim::Reaction::Hang, 4.0);
    SetDelays(2.5);  // sends in the background, after the Enter presses' own wait
    chat.SendChatLine("one");
    chat.SendChatLine("two");
    p.RunFor(20);
    EXPECT_EQ(client.Transcript("Lobby"), (Lines{"one", "two"}));
    EXPECT_EQ(client.InputText(room), "afk 5");
}

TEST_F(Scenario, HungClientIsWaitedOutBrieflyAndAVanishedOneSurvived) {
    aolsim::Handle room = InLobby("6.0");
    client.SetHung(true);
    chat.SendChatLine("hung");
    client.SetHung(false);
    EXPECT_TRUE(client.Transcript("Lobby").empty());
    EXPECT_EQ(client.InputText(room), "mine");
    EXPECT_LE(p.Now(), bounds::kReadSeconds + 2 * kSendTimeoutMs / 1000.0);

    room = InLobby("8.0");
    client.When(aolsim::Trigger::ChatLineSent, aolsim::Reaction::Vanish);
    chat.SendChatLine("hi");
    p.ProcessEvents();  // the client goes away right after
    chat.SendChatLine("again");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"hi"});
    EXPECT_FALSE(client.Running());
}

TEST_F(Scenario, TimerLineDuringTheEnterLoopGoesOutRightAfter) {
    const aolsim::Handle room = InLobby("8.0");
    SetDelays(0.2);
    int fired = 0;
    Timer timer(p, 100, [&] {
        if (fired++ == 0) chat.SendChatLine("from a timer");
    });
    // The tick comes while "first" is on its way.
    timer.SetEnabled(true);
    chat.SendChatLine("first");
    timer.SetEnabled(false);
    EXPECT_EQ(client.Transcript("Lobby"), (Lines{"first", "from a timer"}));
    EXPECT_EQ(client.InputText(room), "mine");
}

TEST_F(Scenario, MenuCommandByItsText) {
    InLobby("6.0");
    RunAolMenuItem(p, "&Download Manager");
    EXPECT_NE(client.DownloadManager(), 0u);
    EXPECT_EQ(client.MenuCommands(), Lines{"&Download Manager"});
}

}  // namespace
}  // namespace qm::aol
