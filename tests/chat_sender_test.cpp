// Posting chat lines against hand-built rooms whose input box behaves like the
// client's: Enter moves the text to the transcript and empties the box (at
// once, or a while later as a client sending the line in the background).
#include "aol/chat_sender.h"

#include <gtest/gtest.h>

#include <map>

#include "aol/bounds.h"
#include "platform/sim/sim_platform.h"
#include "app/timer.h"

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
        if (m.msg != Msg::Char || m.wparam != 13) return false;
        ++presses;
        pressTimes.push_back(p.Now());
        if (pressesBeforeTaken > 0) {
            --pressesBeforeTaken;
            return true;
        }
        if (lateTake > 0) {
            // Sent in the background: whatever the box holds by then goes.
            if (!taking) {
                taking = true;
                p.Schedule(lateTake, [=, this] {
                    taking = false;
                    Take(room, self);
                });
            }
            return true;
        }
        Take(room, self);
        return true;
    }
    void Take(const std::string& room, Hwnd box) {
        std::string text = p.TextOf(box);
        if (text.empty()) return;
        said.push_back(room + ": " + text);
        if (!neverEmpties) p.SetTextDirect(box, "");
        if (alertAfterLine) Alert();
    }
    // The alert; pressing OK closes it at once or `closing` seconds later.
    void Alert(double closing = 0) {
        Hwnd dialog = p.CreateWindow("#32770", "America Online", 0);
        p.CreateWindow("Button", "OK", dialog, [=, this](Hwnd, const Message& m) {
            keys.push_back(m.msg);
            if (m.msg != Msg::KeyUp || m.wparam != kVkSpace) return true;
            if (closing > 0)
                p.Schedule(closing, [=, this] { p.DestroyWindow(dialog); });
            else
                p.DestroyWindow(dialog);
            return true;
        });
    }
    std::vector<std::string> Said(std::initializer_list<std::string> lines, const std::string& room = "Lobby") {
        std::vector<std::string> out;
        for (const std::string& line : lines) out.push_back(room + ": " + line);
        return out;
    }

    sim::SimPlatform p;
    ChatSender chat{p};
    Hwnd main = 0, mdi = 0;
    std::map<std::string, Hwnd> boxes;
    std::vector<std::string> said;
    std::vector<Msg> keys;
    std::vector<double> pressTimes;
    int presses = 0, pressesBeforeTaken = 0;
    double lateTake = 0;
    bool taking = false, neverEmpties = false, alertAfterLine = false;
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
    EXPECT_EQ(keys, (std::vector<Msg>{Msg::KeyDown, Msg::KeyUp}));
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

TEST_F(Chat, VersionChoosesTheBoxWhereTheTwoLayoutsDisagree) {
    // A late room with two boxes after its transcript: the early rule takes
    // the second RICHCNTL, the late rule the first after the transcript.
    for (const char* version : {"4.0", "6.0", "7.0", "8.0"}) {
        if (main) p.DestroyWindow(main);
        boxes.clear();
        Client(std::string("What's New in AOL ") + version);
        Room("Lobby", true);
        Hwnd room = p.ParentOf(boxes["Lobby"]);
        p.CreateWindow("RICHCNTL", "", room,
                       [this](Hwnd self, const Message& m) { return Enter("second box", self, m); });
        chat.SendChatLine("hi");
        const bool late = version == std::string("7.0") || version == std::string("8.0");
        EXPECT_EQ(said, late ? Said({"hi"}) : Said({"hi"}, "second box")) << version;
        said.clear();
    }
}

TEST_F(Chat, ClientThatNeverEmptiesTheBoxIsPressedABoundedNumberOfTimes) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    neverEmpties = true;
    chat.SendChatLine("hi");
    EXPECT_EQ(presses, bounds::kEnterPresses);
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
    EXPECT_GE(p.Now(), bounds::kTakeSeconds);
    EXPECT_LT(p.Now(), bounds::kTakeSeconds + 0.1);
}

TEST_F(Chat, SlowClientIsPressedAgainUntilItTakesTheLine) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    pressesBeforeTaken = 2;
    chat.SendChatLine("hi");
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(said, Said({"hi"}));
}

TEST_F(Chat, ClientBusyForAMomentStillGetsTheLineAndTheUsersTextComesBack) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "afk 5");
    p.SetBusyUntil(2.5);  // closing a dialog, say
    chat.SendChatLine("hi");
    EXPECT_EQ(said, Said({"hi"}));
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "afk 5");
}

TEST_F(Chat, BoxThatCannotBeReadIsLeftAloneAndTheLineDropped) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "afk 5");
    p.SetBusyUntil(30);
    chat.SendChatLine("hi");
    EXPECT_GE(p.Now(), bounds::kReadSeconds);
    EXPECT_LT(p.Now(), bounds::kReadSeconds + 2 * kSendTimeoutMs / 1000.0);
    // Nothing was sent that the client could catch up on later.
    p.RunFor(60);
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "afk 5");
}

TEST_F(Chat, HungClientDoesNotHoldUsForLong) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    p.SetHung(boxes["Lobby"], true);
    chat.SendChatLine("hi");
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
    EXPECT_LE(p.Now(), bounds::kReadSeconds + 2 * kSendTimeoutMs / 1000.0);
}

TEST_F(Chat, ClientTakingTheLineLateDoesNotTakeTheUsersText) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    lateTake = 3.0;  // longer than the Enter presses' own wait
    chat.SendChatLine("hi");
    p.RunFor(10);
    EXPECT_EQ(said, Said({"hi"}));
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, EnterWaitingInABusyClientsQueueIsNotRepeated) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    p.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::Send && h == boxes["Lobby"] && !p.Busy()) p.SetBusyUntil(p.Now() + 3.5);
    });
    chat.SendChatLine("hi");
    p.SetHook({});
    p.RunFor(10);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(said, Said({"hi"}));
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, AlertIsGoneBeforeTheSendEnds) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "afk 5");
    Alert(2.0);
    chat.SendChatLine("one");
    EXPECT_EQ(p.FindWindow("#32770"), 0u);
    EXPECT_DOUBLE_EQ(p.Now(), 2.0);
}

TEST_F(Chat, LineSentFromATimerDuringTheEnterLoopWaitsItsTurn) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    pressesBeforeTaken = 1;
    int ticks = 0;
    Timer timer(p, 10, [&] {
        if (++ticks == 1) chat.SendChatLine("from the timer");
    });
    timer.SetEnabled(true);
    chat.SendChatLine("first");
    timer.SetEnabled(false);
    EXPECT_EQ(said, Said({"first", "from the timer"}));
    EXPECT_EQ(presses, 3);  // two for the first line, one for the second
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, SendTypesWhatWasQueuedWhileItTypedItsOwnLineThenEnds) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    lateTake = 1.0;
    // A line every 0.3 s, faster than the client takes them; it stops
    // queueing at 40 so that a send that never ends still shows here.
    int queued = 0;
    Timer timer(p, 300, [&] {
        if (queued < 40) chat.SendChatLine("t" + std::to_string(++queued));
    });
    timer.SetEnabled(true);
    chat.SendChatLine("first");
    // Three were queued while "first" was on its way; the rest wait.
    EXPECT_EQ(said, Said({"first", "t1", "t2", "t3"}));
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
    timer.SetEnabled(false);
    const int before = queued;
    ASSERT_GT(before, 3);
    ASSERT_LT(before, 40);
    said.clear();
    chat.SendChatLine("last");
    std::vector<std::string> rest;
    for (int i = 4; i <= before; ++i) rest.push_back("Lobby: t" + std::to_string(i));
    rest.push_back("Lobby: last");
    EXPECT_EQ(said, rest);
    EXPECT_EQ(p.TextOf(boxes["Lobby"]), "mine");
}

TEST_F(Chat, WaitingForIdleFromInsideASendComesAfterEveryQueuedLineAndTheUsersText) {
    Client("What's New in AOL 6.0");
    Room("Lobby");
    p.SetTextDirect(boxes["Lobby"], "mine");
    pressesBeforeTaken = 1;
    std::vector<std::string> seenAtIdle;
    std::string boxAtIdle;
    // As the exit command would: two lines, 0.4 s apart, then the end.
    p.Schedule(0.1, [&] {
        chat.SendChatLine("bye 1");
        Pause(p, 0.4);
        chat.SendChatLine("bye 2");
        chat.WhenIdle([&] {
            seenAtIdle = said;
            boxAtIdle = p.TextOf(boxes["Lobby"]);
        });
        EXPECT_TRUE(seenAtIdle.empty());  // not yet: the send below us is not done
    });
    chat.SendChatLine("tick");
    EXPECT_EQ(seenAtIdle, Said({"tick", "bye 1", "bye 2"}));
    EXPECT_EQ(boxAtIdle, "mine");
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

TEST_F(Chat, TextReadsTrustNoLengthAndReadAGrowingTextAgain) {
    Hwnd w = p.CreateWindow("RICHCNTL", "abc", 0);
    int reads = 0;
    p.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::GetText && h == w && ++reads == 1) p.SetTextDirect(w, std::string(5000, 'x'));
    });
    EXPECT_EQ(GetText(p, w), std::string(5000, 'x'));
    EXPECT_EQ(reads, 2);
    p.SetHook({});
    p.SetTextDirect(w, std::string(bounds::kMaxTextRead, 'y'));
    EXPECT_EQ(GetText(p, w), std::string(bounds::kMaxTextRead, 'y'));
    p.SetTextDirect(w, std::string(bounds::kMaxTextRead + 1, 'y'));
    EXPECT_EQ(GetText(p, w), std::nullopt);
    EXPECT_EQ(GetText(p, 0), "");
    p.DestroyWindow(w);
    EXPECT_EQ(GetText(p, w), std::nullopt);
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
