// Chat rooms: what the client makes of the text and keys it is given, its
// alert, and a client that is slow, hangs or loses the room.  Where the room
// and its input box lie in each version is pinned with the window tree.
#include <gtest/gtest.h>

#include "aolsim/tests/driver.h"

namespace aolsim::testing {
namespace {

class Chat : public ::testing::Test, public Scene {};

TEST_F(Chat, LinesLandByteForByteAndKeysTypeAtTheEnd) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby", "half a sent");
    Hwnd input = client.RoomInput(room);
    EXPECT_EQ(client.InputText(room), "half a sent");
    const std::string line = "</b><font face=\"arial\">quillmoor idle \xB7 <font color=#0000ff>3m";
    Say(room, line);
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_EQ(GetText(client.RoomTranscript(room)), "Joe Blow:\t" + line);
    p.SetText(input, "ab");
    for (unsigned c : {unsigned('c'), 0xB7u, 8u, unsigned('d')}) p.Send(input, Msg::Char, c);
    EXPECT_EQ(client.InputText(room), "abcd");
    Press(Icon(room, 1), false);  // the send icon
    EXPECT_EQ(client.InputText(room), "");
    p.Send(input, Msg::Char, qm::kCharEnter);  // an empty box sends nothing
    Press(Icon(room, 1), false);
    EXPECT_EQ(client.Transcript("LOBBY"), (Lines{line, "abcd"}));
    EXPECT_EQ(client.Chat(), (std::vector<ChatLine>{{"Lobby", line}, {"Lobby", "abcd"}}));
}

TEST_F(Chat, ASlowOrHungClientHandlesWhatItWasSentLateInOrder) {
    Begin("7.0");
    client.SetDelays({3, 1, 0.2, 0, 0});
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
    client.SetDelays({});
    client.Hang(5);
    EXPECT_FALSE(p.SetText(input, "while hung"));
    EXPECT_EQ(GetText(input), "<no answer>");
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_FALSE(p.Send(input, Msg::Char, qm::kCharEnter));
    p.RunFor(3);
    EXPECT_EQ(client.Transcript("Lobby"), (Lines{"slow", "while hung"}));
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_TRUE(p.SetText(input, "after"));
    EXPECT_EQ(client.InputText(room), "after");
}

TEST_F(Chat, TheAlertFollowsTheNextLinesAndGoesOnlyWithTheSpaceKeyOnOk) {
    Begin("4.0");
    Handle room = client.OpenRoom("Lobby");
    client.SetDelays({3, 1, 0, 0.5, 0});
    client.AlertAfterChatLines(1);
    Say(room, "one");
    EXPECT_EQ(Alert(), 0u);
    p.RunFor(0.5);
    Hwnd alert = Alert();
    ASSERT_NE(alert, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), alert);  // in front
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
    EXPECT_EQ(client.Transcript("Lobby"), (Lines{"one", "two"}));
}

TEST_F(Chat, AVanishedRoomTakesNothingAndBreaksNothing) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby");
    Hwnd input = client.RoomInput(room);
    client.DestroyWindow(room);
    EXPECT_EQ(DocumentCaptions(), (Lines{"AOL Channels", "Welcome, Joe Blow!"}));
    EXPECT_EQ(client.Room("Lobby"), 0u);
    p.Send(input, Msg::Char, qm::kCharEnter);
    client.TypeInRoom(room, "ignored");
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_TRUE(client.Chat().empty());
}

}  // namespace
}  // namespace aolsim::testing
