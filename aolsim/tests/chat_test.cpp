// Chat rooms: what the client makes of what it is sent, and its alert.  A
// busy client's late answers are pinned with the simulated platform.
#include <gtest/gtest.h>

#include "aolsim/tests/driver.h"

namespace aolsim::testing {
namespace {

class Chat : public ::testing::Test, public Scene {};

TEST_F(Chat, LinesLandByteForByteAndAnEmptyBoxSendsNothing) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby", "half a sent");
    Hwnd input = client.RoomInput(room);
    EXPECT_EQ(client.InputText(room), "half a sent");
    const std::string line = "</b><font face=\"arial\">quillmoor idle \xB7 <font color=#0000ff>3m";
    Say(room, line);
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_EQ(GetText(client.RoomTranscript(room)), "Joe Blow:\t" + line);
    p.SetText(input, "ab");
    Press(Icon(room, 1), false);  // the send icon
    p.Send(input, Msg::Char, qm::kCharEnter);
    Press(Icon(room, 1), false);
    EXPECT_EQ(client.Transcript("LOBBY"), (Lines{line, "ab"}));
    EXPECT_EQ(client.Chat(), (std::vector<ChatLine>{{"Lobby", line}, {"Lobby", "ab"}}));
}

TEST_F(Chat, ASlowClientSendsTheLineAndEmptiesTheBoxAfterItsDelay) {
    Begin("7.0");
    client.SetDelays({.chat = 0.2});
    Handle room = client.OpenRoom("Lobby", "typed");
    Hwnd input = client.RoomInput(room);
    p.SetText(input, "slow");
    p.Send(input, Msg::Char, qm::kCharEnter);
    p.Send(input, Msg::Char, qm::kCharEnter);
    EXPECT_EQ(client.InputText(room), "slow");
    EXPECT_TRUE(client.Transcript("Lobby").empty());
    p.RunFor(0.2);
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"slow"});
}

TEST_F(Chat, TheAlertFollowsTheNextLinesAndGoesOnlyWithTheSpaceKeyOnOk) {
    Begin("4.0");
    Handle room = client.OpenRoom("Lobby");
    client.SetDelays({.alert = 0.5});
    client.AlertAfterChatLines(1);
    Say(room, "one");
    EXPECT_EQ(Alert(), 0u);
    p.RunFor(0.5);
    Hwnd alert = Alert();
    ASSERT_NE(alert, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), alert);
    EXPECT_EQ(Classes(alert), (Lines{"Static", "Button"}));
    Hwnd ok = p.FindWindowEx(alert, 0, "Button", std::string_view("OK"));
    p.Send(ok, Msg::KeyDown, qm::kVkSpace);
    p.Send(ok, Msg::KeyUp, 0x41);
    EXPECT_EQ(Alert(), alert);
    p.Send(ok, Msg::KeyUp, qm::kVkSpace);
    EXPECT_EQ(Alert(), 0u);
    Say(room, "two");
    client.ShowAlert("Hello there.");
    p.RunFor(1);
    EXPECT_EQ(GetText(p.FindWindowEx(Alert(), 0, "Static")), "Hello there.");
    EXPECT_EQ(std::pair(client.AlertsShown(), client.AlertsDismissed()), std::pair(2, 1));
}

}  // namespace
}  // namespace aolsim::testing
