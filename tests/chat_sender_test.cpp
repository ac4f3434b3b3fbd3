// Posting chat lines against hand-built rooms whose input box behaves like the
// client's: Enter moves the text to the transcript and empties the box (at
// once, or a while later as a client sending the line in the background).
#include "aol/chat_sender.h"

#include <gtest/gtest.h>

#include <map>

#include "aol/bounds.h"
#include "app/timer.h"
#include "platform/sim/sim_platform.h"

namespace qm::aol {
namespace {

using sim::Message;
using Texts = std::vector<std::string>;

// A client of this version ("" for none) whose every input box holds the
// user's unsent "mine".
struct Scene {
    explicit Scene(const std::string& version = "6.0") {
        if (version.empty()) return;
        const Hwnd main = p.CreateWindow("AOL Frame25", "America Online", 0);
        mdi = p.CreateWindow("MDIClient", "", main);
        Hmenu help = p.CreateMenu({sim::MenuItem{"What's New in AOL " + version, 7}});
        p.SetMenu(main, p.CreateMenu({sim::MenuItem{"&Help", 0, help}}));
    }
    // A room of the early layout (two RICHCNTL) or the late one, whose
    // second box, when asked for, takes lines as "<name> 2".
    Hwnd Room(const std::string& name, bool late = false, bool listbox = true, bool secondBox = false) {
        Hwnd room = p.CreateWindow("AOL Child", name, mdi);
        p.CreateWindow(late ? "RICHCNTLREADONLY" : "RICHCNTL", "", room);
        for (const std::string& box : secondBox ? Texts{name, name + " 2"} : Texts{name}) {
            boxes[box] = p.CreateWindow("RICHCNTL", "mine", room,
                                        [=, this](Hwnd self, const Message& m) { return Enter(box, self, m); });
            if (listbox && box == name) p.CreateWindow("_AOL_Listbox", "", room);
        }
        p.CreateWindow("_AOL_Icon", "", room);
        p.CreateWindow("_AOL_Static", "", room);
        return room;
    }
    bool Enter(const std::string& box, Hwnd self, const Message& m) {
        if (m.msg != Msg::Char || m.wparam != 13) return false;
        ++presses;
        if (pressesLost > 0) return --pressesLost, true;
        if (lateTake == 0) return Take(box, self), true;
        // Sent in the background: whatever the box holds by then goes.
        if (!taking) p.Schedule(lateTake, [=, this] { taking = false, Take(box, self); });
        taking = true;
        return true;
    }
    void Take(const std::string& box, Hwnd self) {
        const std::string text = p.TextOf(self);
        if (text.empty()) return;
        said.push_back(box + ": " + text);
        if (!neverEmpties) p.SetTextDirect(self, "");
        if (alertAfterLine) Alert();
    }
    // The alert; Space on OK closes it `closing` seconds later.
    void Alert(double closing = 0) {
        Hwnd dialog = p.CreateWindow("#32770", "America Online", 0);
        p.CreateWindow("Button", "OK", dialog, [=, this](Hwnd, const Message& m) {
            keys.push_back(m.msg);
            if (m.msg != Msg::KeyUp || m.wparam != kVkSpace) return true;
            if (closing > 0) p.Schedule(closing, [=, this] { p.DestroyWindow(dialog); });
            if (closing == 0) p.DestroyWindow(dialog);
            return true;
        });
    }
    double Send(const std::string& line) {
        const double start = p.Now();
        chat.SendChatLine(line);
        return p.Now() - start;
    }

    sim::SimPlatform p;
    ChatSender chat{p};
    Hwnd mdi = 0;
    std::map<std::string, Hwnd> boxes;
    Texts said;
    std::vector<Msg> keys;
    int presses = 0, pressesLost = 0;
    double lateTake = 0;
    bool taking = false, neverEmpties = false, alertAfterLine = false;
};

// Only a room with a listbox; the first of two; before 7.0 the second box,
// in 7.0 and 8.0 (and where the version is unknown) the first after the
// read-only transcript, also where the two rules find different boxes.
TEST(Chat, LineGoesIntoTheBoxTheVersionAndLayoutChooseOnceAndTheTypedTextComesBack) {
    enum Rooms { Early, NoListboxFirst, TwoRooms, Late, LateTwoBoxes };
    const struct {
        const char* version;
        Rooms rooms;
        const char* box;
    } cases[] = {
        {"6.0", Early, "Lobby"},           {"7.0", Late, "Lobby"},          {"8.0", Late, "Lobby"},
        {"9.9", Late, "Lobby"},            {"5.0", NoListboxFirst, "Real"}, {"4.0", TwoRooms, "First"},
        {"4.0", LateTwoBoxes, "Lobby 2"}, {"6.0", LateTwoBoxes, "Lobby 2"}, {"7.0", LateTwoBoxes, "Lobby"},
        {"8.0", LateTwoBoxes, "Lobby"},
    };
    for (const auto& c : cases) {
        Scene s(c.version);
        if (c.rooms == NoListboxFirst) s.Room("Almost", false, false);
        s.Room(c.rooms == NoListboxFirst ? "Real" : c.rooms == TwoRooms ? "First" : "Lobby", c.rooms >= Late,
               true, c.rooms == LateTwoBoxes);
        if (c.rooms == TwoRooms) s.Room("Second");
        s.Send("quillmoor \xB7 line");
        EXPECT_EQ(s.said, Texts{c.box + std::string(": quillmoor \xB7 line")}) << c.version << " " << c.rooms;
        EXPECT_EQ(s.presses, 1) << c.version << " " << c.rooms;
        for (const auto& [name, box] : s.boxes) EXPECT_EQ(s.p.TextOf(box), "mine") << name;
    }
}

TEST(Chat, NothingIsTypedWithoutRoomOrLineAndARoomThatVanishesMidSendIsSurvived) {
    Scene s;
    s.Send("nobody hears this");
    const Hwnd room = s.Room("Lobby");
    s.Send("");
    EXPECT_EQ(s.presses, 0);
    EXPECT_EQ(s.p.TextOf(s.boxes["Lobby"]), "mine");
    s.p.SetHook([&](sim::Op op, Hwnd) { op == sim::Op::SetText ? s.p.DestroyWindow(room) : void(); });
    s.Send("hi");
    EXPECT_TRUE(s.said.empty());
}

// Space on OK, room or none; the send ends once the alert is gone however it
// goes, and gives up on one that has no OK and stays.
TEST(Chat, AlertIsGoneBeforeTheSendEnds) {
    Scene none("");
    none.Alert();
    EXPECT_DOUBLE_EQ(none.Send("hi"), 0);
    EXPECT_EQ(none.keys, (std::vector<Msg>{Msg::KeyDown, Msg::KeyUp}));
    Hwnd dialog = none.p.CreateWindow("#32770", "America Online", 0);
    none.p.Schedule(0.2, [&] { none.p.DestroyWindow(dialog); });
    EXPECT_DOUBLE_EQ(none.Send("hi"), 0.2);
    none.p.CreateWindow("#32770", "America Online", 0);
    EXPECT_DOUBLE_EQ(none.Send("hi"), bounds::kAlertSeconds);

    Scene s;
    s.Room("Lobby");
    s.Alert(2.0);
    EXPECT_DOUBLE_EQ(s.Send("one"), 2.0);
    s.alertAfterLine = true;
    s.Send("two");
    EXPECT_EQ(s.p.FindWindow("#32770"), 0u);
    EXPECT_EQ(s.said, (Texts{"Lobby: one", "Lobby: two"}));
    EXPECT_EQ(s.p.TextOf(s.boxes["Lobby"]), "mine");
}

// Whatever the client does, the line goes out at most once, no Enter is
// repeated that a busy client still holds, a box that cannot be read is left
// alone (the line waits for it, for a while), a line the client may still
// take is not typed over, the typed text is back for good, and the send ends
// in time.
TEST(Chat, SlowBusyOrHungClientsGetTheLineOnceAndNeverTheTypedText) {
    const struct {
        const char* client;
        std::function<void(Scene&)> make;
        Texts said;
        int presses;
        double took;
    } cases[] = {
        {"never empties its box", [](Scene& s) { s.neverEmpties = true; }, Texts(3, "Lobby: hi"), 3, 5.0},
        {"misses two presses", [](Scene& s) { s.pressesLost = 2; }, {"Lobby: hi"}, 3, 1.0},
        {"busy for a moment", [](Scene& s) { s.p.SetBusyUntil(2.5); }, {"Lobby: hi"}, 1, 2.5},
        {"busy too long to read", [](Scene& s) { s.p.SetBusyUntil(30); }, {"Lobby: hi"}, 1, 5.2},
        {"hung", [](Scene& s) { s.p.SetHung(s.boxes["Lobby"], true); }, {}, 0, 5.2},
        {"takes the line late", [](Scene& s) { s.lateTake = 3.0; }, {"Lobby: hi"}, 3, 3.0},
        {"takes the line after the take bound", [](Scene& s) { s.lateTake = bounds::kTakeSeconds + 3; },
         {"Lobby: hi"}, 3, bounds::kTakeSeconds},
        {"busy from the first Enter",
         [](Scene& s) {
             s.p.SetHook([&s](sim::Op op, Hwnd h) {
                 if (op == sim::Op::Send && h == s.boxes["Lobby"] && !s.p.Busy()) s.p.SetBusyUntil(s.p.Now() + 3.5);
             });
         },
         {"Lobby: hi"}, 1, 3.5},
    };
    for (const auto& c : cases) {
        Scene s;
        s.Room("Lobby");
        c.make(s);
        EXPECT_DOUBLE_EQ(s.Send("hi"), c.took) << c.client;
        s.p.SetHook({});
        s.p.RunFor(60);  // what the client still holds comes out now
        EXPECT_EQ(s.said, c.said) << c.client;
        EXPECT_EQ(s.presses, c.presses) << c.client;
        EXPECT_EQ(s.p.TextOf(s.boxes["Lobby"]), "mine") << c.client;
    }
}

// A timer queues a line every 0.3 s, faster than the client takes them: the
// send types the three queued while it typed its own and ends, the user's
// text back; the rest go with the next send.
TEST(Chat, SendTypesWhatWasQueuedWhileItTypedItsOwnLineThenEnds) {
    Scene s;
    s.Room("Lobby");
    s.lateTake = 1.0;
    int queued = 0;
    Timer timer(s.p, 300, [&] {
        if (queued < 40) s.chat.SendChatLine("t" + std::to_string(++queued));
    });
    timer.SetEnabled(true);
    s.Send("first");
    EXPECT_EQ(s.said, (Texts{"Lobby: first", "Lobby: t1", "Lobby: t2", "Lobby: t3"}));
    EXPECT_EQ(s.presses, 8);  // two a line: the client takes each a second late
    EXPECT_EQ(s.p.TextOf(s.boxes["Lobby"]), "mine");
    timer.SetEnabled(false);
    ASSERT_EQ(queued, 13);  // 40 would mean a send that never ended
    Texts rest;
    for (int i = 4; i <= queued; ++i) rest.push_back("Lobby: t" + std::to_string(i));
    rest.push_back("Lobby: last");
    s.said.clear();
    s.Send("last");
    EXPECT_EQ(s.said, rest);
    EXPECT_EQ(s.p.TextOf(s.boxes["Lobby"]), "mine");
}

TEST(Chat, TextReadsTrustNoLengthAndReadAGrowingTextAgain) {
    sim::SimPlatform p;
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

}  // namespace
}  // namespace qm::aol
