// The client automation against the stand-in client, version by version.
#include <gtest/gtest.h>

#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "aolsim/sim/sim_client.h"
#include "aol/bounds.h"
#include "app/timer.h"

namespace qm::aol {
namespace {

const char* const kVersions[] = {"2.5", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0", "foreign"};

class EveryVersion : public ::testing::TestWithParam<const char*> {
protected:
    sim::SimPlatform p;
    aolsim::SimClient client{p};
    ChatSender chat{p};
};

TEST_P(EveryVersion, LineReachesTheRoomAndTheUsersTextComesBack) {
    client.Start(GetParam());
    client.SignOn("Joe Blow");
    aolsim::Handle room = client.OpenRoom("Lobby", "half a sen");
    chat.SendChatLine("</b><font color=#0000ff>idle \xB7 5m");
    EXPECT_EQ(client.Transcript("Lobby"), (std::vector<std::string>{"</b><font color=#0000ff>idle \xB7 5m"}));
    EXPECT_EQ(client.InputText(room), "half a sen");
}

TEST_P(EveryVersion, ProbesTellVersionAndScreenName) {
    client.Start(GetParam());
    EXPECT_EQ(GetScreenName(p), "");
    EXPECT_EQ(FindWelcomeWindow(p), 0u);
    client.SignOn("Joe Blow");
    client.OpenRoom("Lobby");
    client.OpenRoom("Help Desk");
    EXPECT_EQ(GetAolVersion(p), std::string(GetParam()));
    EXPECT_EQ(FindWelcomeWindow(p), client.WelcomeWindow());
    EXPECT_EQ(GetScreenName(p), "Joe Blow");
}

TEST_P(EveryVersion, AlertAfterTheLineIsDismissed) {
    client.Start(GetParam());
    client.SignOn("joe");
    client.OpenRoom("Lobby");
    client.AlertAfterChatLines(1);
    chat.SendChatLine("hi");
    EXPECT_EQ(client.AlertsShown(), 1);
    EXPECT_EQ(client.AlertsDismissed(), 1);
    EXPECT_EQ(FindAolAlert(p), 0u);
}

INSTANTIATE_TEST_SUITE_P(Client, EveryVersion, ::testing::ValuesIn(kVersions),
                         [](const auto& info) { return std::string(info.param == std::string("foreign") ? "foreign" : "v") +
                                                       (info.param == std::string("foreign") ? "" : std::string(1, info.param[0]) + info.param[2]); });

class Scenario : public ::testing::Test {
protected:
    void SignedOnIn(const char* version) {
        client.Start(version);
        client.SignOn("Joe Blow");
    }
    sim::SimPlatform p;
    aolsim::SimClient client{p};
    ChatSender chat{p};
};

TEST_F(Scenario, NoClientNoLineNoTrouble) {
    chat.SendChatLine("hi");
    EXPECT_EQ(GetAolVersion(p), "foreign");
    EXPECT_TRUE(client.Chat().empty());
}

TEST_F(Scenario, SignedOffClientHasNoRoomToTypeInto) {
    client.Start("8.0");
    chat.SendChatLine("hi");
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_TRUE(client.PasswordsTyped().empty());
}

TEST_F(Scenario, FrontRoomOfTwoReceivesTheLine) {
    SignedOnIn("6.0");
    aolsim::Handle lobby = client.OpenRoom("Lobby");
    aolsim::Handle other = client.OpenRoom("Other");
    client.SetDocumentOrder({lobby, other});
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), std::vector<std::string>{"hi"});
    EXPECT_TRUE(client.Transcript("Other").empty());
}

TEST_F(Scenario, LookAlikeWithoutListboxIsNotTheRoom) {
    SignedOnIn("5.0");
    client.OpenRoom("Lobby");
    client.OpenDocument("Almost a room", {.richcntl = 2, .icons = 4, .statics = 1});
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), std::vector<std::string>{"hi"});
}

TEST_F(Scenario, UnreadableMenusStillReachALateRoom) {
    SignedOnIn("8.0");
    aolsim::Handle room = client.OpenRoom("Lobby", "mine");
    p.SetMenusUnreadable(true);
    EXPECT_EQ(GetAolVersion(p), "foreign");
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), std::vector<std::string>{"hi"});
    EXPECT_EQ(client.InputText(room), "mine");
}

TEST_F(Scenario, SlowClientGetsTheLineOnce) {
    SignedOnIn("7.0");
    client.OpenRoom("Lobby");
    aolsim::Delays delays = client.GetDelays();
    delays.chat = 0.3;
    client.SetDelays(delays);
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby"), std::vector<std::string>{"hi"});
}

TEST_F(Scenario, BoxThatNeverEmptiesIsGivenUpOn) {
    SignedOnIn("4.0");
    aolsim::Handle room = client.OpenRoom("Lobby", "mine");
    client.SetInputNeverEmpties(true);
    chat.SendChatLine("hi");
    EXPECT_EQ(client.Transcript("Lobby").size(), static_cast<std::size_t>(bounds::kEnterPresses));
    EXPECT_EQ(client.InputText(room), "mine");
    EXPECT_LE(p.Now(), bounds::kTakeSeconds + 1);
}

TEST_F(Scenario, AlertAfterEveryLineThatKeepsTheClientBusyWhileItClosesLosesNothing) {
    SignedOnIn("8.0");
    aolsim::Handle room = client.OpenRoom("Lobby", "afk 5");
    client.AlertAfterChatLines(2);
    aolsim::Delays delays = client.GetDelays();
    delays.alertClose = 2.0;
    client.SetDelays(delays);
    chat.SendChatLine("one");
    EXPECT_EQ(FindAolAlert(p), 0u);  // gone before the send ended
    Pause(p, 0.4);
    chat.SendChatLine("two");
    EXPECT_EQ(client.Transcript("Lobby"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(client.InputText(room), "afk 5");
    EXPECT_EQ(client.AlertsDismissed(), 2);
}

TEST_F(Scenario, ClientThatStallsRightAfterTheLineDoesNotSendTheUsersText) {
    SignedOnIn("7.0");
    aolsim::Handle room = client.OpenRoom("Lobby", "afk 5");
    client.When(aolsim::Trigger::ChatLineSent, aolsim::Reaction::Hang, 4.0);
    aolsim::Delays delays = client.GetDelays();
    delays.chat = 2.5;  // sends in the background, after the Enter presses' own wait
    client.SetDelays(delays);
    chat.SendChatLine("one");
    chat.SendChatLine("two");
    p.RunFor(20);
    EXPECT_EQ(client.Transcript("Lobby"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(client.InputText(room), "afk 5");
}

TEST_F(Scenario, HungClientIsWaitedOutBriefly) {
    SignedOnIn("6.0");
    aolsim::Handle room = client.OpenRoom("Lobby", "mine");
    client.SetHung(true);
    chat.SendChatLine("hi");
    client.SetHung(false);
    EXPECT_TRUE(client.Transcript("Lobby").empty());
    EXPECT_EQ(client.InputText(room), "mine");
    EXPECT_LE(p.Now(), bounds::kReadSeconds + 2 * kSendTimeoutMs / 1000.0);
}

TEST_F(Scenario, ClientVanishingAfterTheLineIsSurvived) {
    SignedOnIn("8.0");
    client.OpenRoom("Lobby", "mine");
    client.When(aolsim::Trigger::ChatLineSent, aolsim::Reaction::Vanish);
    chat.SendChatLine("hi");
    p.ProcessEvents();  // the client goes away right after
    chat.SendChatLine("again");
    EXPECT_EQ(client.Transcript("Lobby"), std::vector<std::string>{"hi"});
    EXPECT_FALSE(client.Running());
    EXPECT_EQ(FindAolWindow(p), 0u);
}

TEST_F(Scenario, TimerLineDuringTheEnterLoopGoesOutRightAfter) {
    SignedOnIn("8.0");
    aolsim::Handle room = client.OpenRoom("Lobby", "mine");
    aolsim::Delays delays = client.GetDelays();
    delays.chat = 0.2;
    client.SetDelays(delays);
    int fired = 0;
    Timer timer(p, 100, [&] {
        if (fired++ == 0) chat.SendChatLine("from a timer");
    });
    // The tick comes while "first" is on its way (the client takes 0.2 s).
    timer.SetEnabled(true);
    chat.SendChatLine("first");
    timer.SetEnabled(false);
    EXPECT_EQ(client.Transcript("Lobby"), (std::vector<std::string>{"first", "from a timer"}));
    EXPECT_EQ(client.InputText(room), "mine");
}

TEST_F(Scenario, MenuCommandByItsText) {
    SignedOnIn("6.0");
    RunAolMenuItem(p, "&Download Manager");
    EXPECT_NE(client.DownloadManager(), 0u);
    EXPECT_EQ(client.MenuCommands(), std::vector<std::string>{"&Download Manager"});
}

}  // namespace
}  // namespace qm::aol
