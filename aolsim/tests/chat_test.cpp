// Chat rooms: where the program finds the room and its input box in each
// client version, and what the client makes of the line it is given.
#include <gtest/gtest.h>

#include "aolsim/sim/sim_client.h"
#include "aolsim/tests/driver.h"

namespace aolsim {
namespace {

using testing::Driver;
using qm::Hwnd;
using Lines = std::vector<std::string>;

class Chat : public ::testing::Test {
protected:
    void Begin(const char* version) {
        client.Start(version);
        client.SignOn("Joe Blow");
    }
    qm::sim::SimPlatform p;
    SimClient client{p};
    Driver d{p};
};

TEST_F(Chat, LineLandsByteForByteAndTheUsersTextComesBack) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby", "half a sent");
    const std::string line = "</b><font face=\"arial\">quillmoor idle \xB7 <font color=#0000ff>3m";
    EXPECT_EQ(d.SendChatLine(line, true), 1);
    EXPECT_EQ(client.Transcript("Lobby"), Lines{line});
    EXPECT_EQ(client.InputText(room), "half a sent");
    EXPECT_EQ(d.GetText(client.RoomTranscript(room)), "Joe Blow:\t" + line);
}

TEST_F(Chat, InputBoxFollowsTheVersion) {
    // Before 7.0 the input is the second RICHCNTL; in 7.0 and 8.0 the
    // RICHCNTL after the read-only transcript.  The other variant misses.
    struct Case {
        const char* version;
        bool variantB;
    };
    for (Case c : {Case{"2.5", false}, Case{"3.0", false}, Case{"4.0", false}, Case{"5.0", false},
                   Case{"6.0", false}, Case{"7.0", true}, Case{"8.0", true}, Case{"foreign", false}}) {
        SCOPED_TRACE(c.version);
        qm::sim::SimPlatform p2;
        SimClient c2(p2);
        Driver d2(p2);
        c2.Start(c.version);
        c2.SignOn("Joe");
        Handle room = c2.OpenRoom("Lobby");
        EXPECT_EQ(d2.FindChatRoom(), room);
        EXPECT_EQ(d2.FindChatInput(c.variantB), c2.RoomInput(room));
        d2.SendChatLine("right", c.variantB);
        // The wrong variant finds the transcript (before 7.0) or nothing.
        EXPECT_NE(d2.FindChatInput(!c.variantB), c2.RoomInput(room));
        d2.SendChatLine("wrong", !c.variantB);
        EXPECT_EQ(c2.Transcript("Lobby"), Lines{"right"});
    }
}

TEST_F(Chat, EnterOnAnEmptyBoxSendsNothing) {
    Begin("6.0");
    Handle room = client.OpenRoom("Lobby");
    p.Send(client.RoomInput(room), qm::Msg::Char, 13);
    EXPECT_TRUE(client.Transcript("Lobby").empty());
}

TEST_F(Chat, TypedCharactersGoToTheEndAndBackspaceDeletes) {
    Begin("5.0");
    Handle room = client.OpenRoom("Lobby", "ab");
    Hwnd input = client.RoomInput(room);
    for (unsigned c : {unsigned('c'), 0xB7u, 8u, unsigned('d')}) p.Send(input, qm::Msg::Char, c);
    EXPECT_EQ(client.InputText(room), "abcd");
    p.Send(input, qm::Msg::Char, 13);
    EXPECT_EQ(client.Transcript("lobby"), Lines{"abcd"});
    EXPECT_EQ(client.InputText(room), "");
}

TEST_F(Chat, LookalikesAreNotRoomsAndTheFirstRoomWins) {
    Begin("4.0");
    Handle second = client.OpenRoom("Second");
    Handle first = client.OpenRoom("First");
    // In front of both rooms: windows that lack one of the four parts.
    Handle noList = client.OpenDocument("No Listbox", {false, 2, 0, 4, 1, 0, 0});
    Handle noIcon = client.OpenDocument("No Icon", {false, 2, 1, 0, 1, 0, 0});
    Handle noStatic = client.OpenDocument("No Static", {false, 2, 1, 4, 0, 0, 0});
    Handle noRich = client.OpenDocument("No Richcntl", {true, 0, 1, 4, 1, 0, 0});
    client.SetDocumentOrder({noList, noIcon, noStatic, noRich, first, second});
    EXPECT_EQ(d.FindChatRoom(), first);
    d.SendChatLine("hello", false);
    EXPECT_EQ(client.Chat(), (std::vector<ChatLine>{{"First", "hello"}}));
}

TEST_F(Chat, ALookalikeWithOneRichcntlTakesNoLine) {
    Begin("6.0");
    Handle fake = client.OpenDocument("Member Directory", {false, 1, 1, 2, 1, 0, 0});
    EXPECT_EQ(d.FindChatRoom(), fake);
    EXPECT_EQ(d.FindChatInput(false), 0u);
    EXPECT_EQ(d.SendChatLine("lost", false), 0);
    EXPECT_TRUE(client.Chat().empty());
}

TEST_F(Chat, AnInputBoxThatNeverEmptiesTakesEveryEnter) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby", "mine");
    client.SetInputNeverEmpties(true);
    EXPECT_EQ(d.SendChatLine("again", true), 20);
    EXPECT_EQ(client.Transcript("Lobby"), Lines(20, "again"));
    EXPECT_EQ(client.InputText(room), "mine");
}

TEST_F(Chat, ASlowClientEmptiesTheBoxLaterAndSendsOnce) {
    Begin("7.0");
    client.SetDelays({3, 1, 0.2, 0, 0});
    Handle room = client.OpenRoom("Lobby");
    p.SetText(client.RoomInput(room), "slow");
    p.Send(client.RoomInput(room), qm::Msg::Char, 13);
    p.Send(client.RoomInput(room), qm::Msg::Char, 13);
    EXPECT_EQ(client.InputText(room), "slow");
    EXPECT_TRUE(client.Transcript("Lobby").empty());
    p.RunFor(0.2);
    EXPECT_EQ(client.InputText(room), "");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"slow"});
}

TEST_F(Chat, TheSendIconSendsTheTypedText) {
    Begin("6.0");
    Handle room = client.OpenRoom("Lobby", "by icon");
    d.PressByMouse(d.Icon(room, 1));
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"by icon"});
}

TEST_F(Chat, AnAlertAfterALineIsDismissedBySpaceOnOk) {
    Begin("8.0");
    client.OpenRoom("Lobby");
    client.AlertAfterChatLines(1);
    d.SendChatLine("one", true);
    EXPECT_EQ(client.AlertsShown(), 1);
    EXPECT_EQ(client.AlertsDismissed(), 1);
    EXPECT_EQ(d.FindAolAlert(), 0u);
    d.SendChatLine("two", true);
    EXPECT_EQ(client.AlertsShown(), 1);
    EXPECT_EQ(client.Transcript("Lobby"), (Lines{"one", "two"}));
}

TEST_F(Chat, TheAlertIsTheRealDialogShape) {
    Begin("4.0");
    Handle alert = client.AlertWindow();
    EXPECT_EQ(alert, 0u);
    client.ShowAlert("Hello there.");
    alert = d.FindAolAlert();
    ASSERT_NE(alert, 0u);
    EXPECT_EQ(p.ChildrenOf(0).front(), alert);  // in front
    Hwnd ok = p.FindWindowEx(alert, 0, "Button", std::string_view("OK"));
    ASSERT_NE(ok, 0u);
    // Space down alone does not press it; other keys do nothing.
    p.Send(ok, qm::Msg::KeyDown, qm::kVkSpace);
    p.Send(ok, qm::Msg::KeyUp, 0x41);
    EXPECT_NE(d.FindAolAlert(), 0u);
    p.Send(ok, qm::Msg::KeyUp, qm::kVkSpace);
    EXPECT_EQ(d.FindAolAlert(), 0u);
    EXPECT_EQ(client.AlertsDismissed(), 1);
}

TEST_F(Chat, ADelayedAlertComesAfterTheSendReturned) {
    Begin("8.0");
    client.OpenRoom("Lobby");
    client.SetDelays({3, 1, 0, 0.5, 0});
    client.AlertAfterChatLines(1);
    d.SendChatLine("one", true);
    EXPECT_EQ(d.FindAolAlert(), 0u);
    p.RunFor(0.5);
    EXPECT_NE(d.FindAolAlert(), 0u);
}

TEST_F(Chat, AHungClientCostsTheSendTimeoutAndTakesNoLine) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby", "typed");
    client.SetHung(true);
    double start = p.Now();
    // A hung box reads "", which looks like a line gone out.
    EXPECT_EQ(d.SendChatLine("lost", true), 1);
    EXPECT_GT(p.Now(), start);
    client.SetHung(false);
    EXPECT_TRUE(client.Transcript("Lobby").empty());
    EXPECT_EQ(client.InputText(room), "typed");
}

TEST_F(Chat, HangForEndsByItself) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby");
    client.Hang(5);
    p.SetText(client.RoomInput(room), "while hung");
    EXPECT_EQ(client.InputText(room), "");
    p.RunFor(5);
    p.SetText(client.RoomInput(room), "after");
    EXPECT_EQ(client.InputText(room), "after");
}

TEST_F(Chat, AVanishedRoomTakesNothingAndBreaksNothing) {
    Begin("8.0");
    Handle room = client.OpenRoom("Lobby");
    client.DestroyWindow(room);
    EXPECT_EQ(d.FindChatRoom(), 0u);
    EXPECT_EQ(client.Room("Lobby"), 0u);
    EXPECT_EQ(d.SendChatLine("x", true), 0);
    client.TypeInRoom(room, "ignored");
    EXPECT_EQ(client.InputText(room), "");
}

TEST_F(Chat, AClientThatVanishesAfterTheLineKeepsItsRecord) {
    Begin("8.0");
    client.OpenRoom("Lobby");
    client.When(Trigger::ChatLineSent, Reaction::Vanish);
    d.SendChatLine("last words", true);
    p.ProcessEvents();
    EXPECT_FALSE(client.Running());
    EXPECT_EQ(d.Main(), 0u);
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"last words"});
}

}  // namespace
}  // namespace aolsim
