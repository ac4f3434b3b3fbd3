// Posting chat lines against hand-built rooms whose input box behaves like the
// client's: Enter moves the text to the transcript and empties the box.
#include "aol/chat_sender.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/bounds.h"
#include "platform/sim/sim_platform.h"
#include "platform/timer.h"

namespace qm::aol {
namespace {

using sim::MenuItem;
using sim::Message;

class Chat : public ::testing::Test {
protected:
    void Client(const std::string& helpItem) {
        main = p.CreateWindow("AOL Frame25", "America Online", 0);
        mdi = p.CreateWindow("MDIClient", "", main);
        Hmenu help = p.CreateMenu({MenuItem{helpItem, 7}});
        p.SetMenu(main, p.CreateMenu({MenuItem{"&Help", 0, help}}));
    }
    // A room of the early layout (two RICHCNTL) or the late one.
    Hwnd Room(const std::string& name, bool late = false, bool listbox = true) {
        Hwnd room = p.CreateWindow("AOL Child", name, mdi);
        p.CreateWindow(late ? "RICHCNTLREADONLY" : "RICHCNTL", "", room);  // the transcript
        Hwnd box = p.CreateWindow("RICHCNTL", "", room,
                                  [=, this](Hwnd self, const Message& m) { return Enter(name, self, m); });
        if (listbox) p.CreateWindow("_AOL_Listbox", "", room);
        p.CreateWindow("_AOL_Icon", "", room);
        p.CreateWindow("_AOL_Static", "", room);
        boxes[name] = box;
        return room;
    }
    bool Enter(const std::string& room, Hwnd self, const Message& m) {
        if (m.kind != Message::Char || m.wparam != 13) return false;
        ++presses;
        if (pressesBeforeTaken > 0) {
            --pressesBeforeTaken;
            return true;
        }
        std::string text = p.TextOf(self);
        if (!text.empty()) said.push_back(room + ": " + text);
        if (!neverEmpties) p.SetTextDirect(self, "");
        if (alertAfterLine) Alert();
        return true;
    }
    void Alert() {
        Hwnd dialog = p.CreateWindow("#32770", "America Online", 0);
        p.CreateWindow("Button", "OK", dialog, [this, dialog](Hwnd, const Message& m) {
            keys.push_back(m.kind);
            if (m.kind == Message::KeyUp && m.wparam == kVkSpace) p.DestroyWindow(dialog);
            return true;
        });
    }

    sim::SimPlatform p;
    ChatSender chat{p};
    Hwnd main = 0, mdi = 0;
    std::map<std::string, Hwnd> boxes;
    std::vector<std::string> said;
    std::vector<Message::Kind> keys;
    int presses = 0, pressesBeforeTaken = 0;
    bool neverEmpties = false, alertAfterLine = false;
};

TEST_F(Chat, LineGoesOutAndTheUsersTextComesBack) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "half a thou");
    chat.SendChatLine("quillmoor \xB7 line");
    EXPECT_EQ(said, (std::vector<std::string>{"Lobby: quillmoor \xB7 line"}));
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "half a thou");
    EXPECT_EQ(presses, 1);
}

TEST_F(Chat, LateVersionsTypeAfterTheReadOnlyTranscript) {
    for (const char* version : {"What's New in AOL 7.0", "What's New in AOL 8.0"}) {
        said.clear();
        if (main) p.DestroyWindow(main);
        Client(version);
        Room("Lobby", true);
        chat.SendChatLine("hi");
        EXPECT_EQ(said, (std::vector<std::string>{"Lobby: hi"})) << version;
    }
}

TEST_F(Chat, UnknownVersionFallsBackToTheLateLayout) {
    Client("About");
    Room("Lobby", true);
    chat.SendChatLine("hi");
    EXPECT_EQ(said, (std::vector<std::string>{"Lobby: hi"}));
}

TEST_F(Chat, RoomWithoutListboxIsPassedOver) {
    Client("What's New in AOL 5.0");
    Room("Almost", false, false);
    Room("Real");
    chat.SendChatLine("hi");
    EXPECT_EQ(said, (std::vector<std::string>{"Real: hi"}));
}

TEST_F(Chat, FirstOfTwoRoomsReceivesTheLine) {
    Client("What's New in AOL 4.0");
    Room("First");
    Room("Second");
    chat.SendChatLine("hi");
    EXPECT_EQ(said, (std::vector<std::string>{"First: hi"}));
}

TEST_F(Chat, NothingIsTypedWithoutRoomOrLine) {
    Client("What's New in AOL 6.0");
    chat.SendChatLine("nobody hears this");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    chat.SendChatLine("");
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, AlertAfterTheLineIsDismissedWithSpace) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    alertAfterLine = true;
    chat.SendChatLine("hi");
    EXPECT_EQ(p.FindWindow("#32770"), 0u);
    EXPECT_EQ(keys, (std::vector<Message::Kind>{Message::KeyDown, Message::KeyUp}));
}

TEST_F(Chat, AlertIsDismissedEvenWithoutARoom) {
    Alert();
    chat.SendChatLine("hi");
    EXPECT_EQ(p.FindWindow("#32770"), 0u);
}

TEST_F(Chat, AlertWithoutOkButtonIsGivenUpOn) {
    p.CreateWindow("#32770", "America Online", 0);
    chat.SendChatLine("hi");
    EXPECT_NE(p.FindWindow("#32770"), 0u);
    EXPECT_GE(p.Now(), bounds::kAlertSeconds);
    EXPECT_LT(p.Now(), bounds::kAlertSeconds + 1);
}

TEST_F(Chat, AlertThatClosesByItselfEndsTheWait) {
    Hwnd dialog = p.CreateWindow("#32770", "America Online", 0);
    p.Schedule(0.2, [&] { p.DestroyWindow(dialog); });
    chat.SendChatLine("hi");
    EXPECT_DOUBLE_EQ(p.Now(), 0.2);
}

TEST_F(Chat, ClientThatNeverEmptiesTheBoxIsPressedABoundedNumberOfTimes) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    neverEmpties = true;
    chat.SendChatLine("hi");
    EXPECT_EQ(presses, bounds::kEnterPresses);
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, SlowClientIsPressedAgainUntilItTakesTheLine) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    pressesBeforeTaken = 2;
    chat.SendChatLine("hi");
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(said, (std::vector<std::string>{"Lobby: hi"}));
}

TEST_F(Chat, HungClientDoesNotHoldUsForLong) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetHung(boxes["Lobby"], true);
    chat.SendChatLine("hi");
    EXPECT_TRUE(said.empty());
    EXPECT_LE(p.Now(), 10 * bounds::kSendTimeoutMs / 1000.0);
}

TEST_F(Chat, LineSentFromATimerDuringTheEnterLoopWaitsItsTurn) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    pressesBeforeTaken = 1;
    Timer timer(p, 10, [&] { chat.SendChatLine("from the timer"); });
    timer.SetEnabled(true);
    chat.SendChatLine("first");
    timer.SetEnabled(false);
    ASSERT_GE(said.size(), 2u);
    EXPECT_EQ(said[0], "Lobby: first");
    EXPECT_EQ(said[1], "Lobby: from the timer");
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, RoomThatVanishesMidSendIsSurvived) {
    Client("What's New in AOL 6.0");
    Hwnd room = Room("Lobby");
    p.SetHook([&](sim::Op op, Hwnd) {
        if (op == sim::Op::SetText) p.DestroyWindow(room);
    });
    p.SetTextDirect(boxes["Lobby"], "mine");
    chat.SendChatLine("hi");
    EXPECT_TRUE(said.empty());
    EXPECT_FALSE(p.IsWindow(room));
}

TEST_F(Chat, TextThatGrowsWhileReadIsCut) {
    Hwnd w = p.CreateWindow("RICHCNTL", "abc", 0);
    p.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::GetText && h == w) p.SetTextDirect(w, std::string(5000, 'x'));
    });
    EXPECT_EQ(GetText(p, w), "xxx");
    EXPECT_EQ(GetText(p, 0), "");
}

TEST(Pause, WaitsAtLeastTheTimeAndRunsEvents) {
    sim::SimPlatform p;
    int ticks = 0;
    Timer timer(p, 100, [&] { ++ticks; });
    timer.SetEnabled(true);
    Pause(p, 0.4);
    EXPECT_GE(p.Now(), 0.4);
    EXPECT_EQ(ticks, 4);
    const double before = p.Now();
    Pause(p, 0);
    EXPECT_EQ(p.Now(), before);
}

}  // namespace
}  // namespace qm::aol
