// The user's unsent text against a client that hangs while lines go: under
// Wine (what is sent to a stuck client and given up on is lost) and under
// Windows (it is handled late, in order).  The text is owed until the client
// has let it back into the box; no line of ours is typed over while the
// client may still take it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <random>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aolsim/sim/sim_client.h"
#include "app/timer.h"
#include "tests/program_fixture.h"

namespace qm::aol {
namespace {

using aolsim::Reaction;
using aolsim::Trigger;
using Texts = std::vector<std::string>;

// An 8.0 client in Lobby, "brb" typed and not sent.
struct Hanging {
    explicit Hanging(bool wine) : wine(wine) {
        p.SetDropsTimedOutSends(wine);
        client.Start("8.0");
        client.SignOn("Joe");
        room = client.OpenRoom("Lobby", "brb");
    }
    void ChatDelay(double seconds) {
        aolsim::Delays delays = client.GetDelays();
        delays.chat = seconds;
        client.SetDelays(delays);
    }
    // As the program's announcements: two lines 0.4 s apart.
    void SayTwo() {
        chat.SendChatLine("one");
        Pause(p, 0.4);
        chat.SendChatLine("two");
    }
    // The box as the user sees it, and whether "brb" ever went out.
    void ExpectBrbBackAndNeverSent(const std::string& what) {
        EXPECT_EQ(client.InputText(room), "brb") << what;
        for (const aolsim::ChatLine& line : client.Chat()) EXPECT_NE(line.text, "brb") << what;
    }
    std::string Where(const char* what) const { return std::string(what) + (wine ? " (Wine)" : " (Windows)"); }

    const bool wine;
    sim::SimPlatform p;
    aolsim::SimClient client{p};
    ChatSender chat{p};
    aolsim::Handle room = 0;
};

// However the client hangs as the two lines go, both go out once, in
// order, and the user's text is back in the box afterwards.
TEST(ChatHang, ClientStuckOrBusyMidSendGetsBothLinesAndTheUsersTextBack) {
    const struct {
        const char* client;
        std::function<void(Hanging&)> make;
    } cases[] = {
        // The client: stuck 8 s in the first Enter, the line going
        // when it is over; the late Enter empties the box.
        {"stuck in the first Enter", [](Hanging& h) { h.client.When(Trigger::ChatEnter, Reaction::Block, 8); }},
        // The box was emptied, then no answer for 8 s.
        {"stuck right after the first line", [](Hanging& h) { h.client.When(Trigger::ChatLineSent, Reaction::Block, 8); }},
        {"busy right after the first line", [](Hanging& h) { h.client.When(Trigger::ChatLineSent, Reaction::Hang, 8); }},
        // The first Enter meets a busy client: under Wine it is lost, and our
        // line stays in the box.
        {"busy as the first Enter comes",
         [](Hanging& h) {
             h.p.AtNth(sim::Op::Send, 1, [&h] { h.p.SetBusyUntil(h.p.Now() + 8); }, h.client.RoomInput(h.room));
         }},
        // Answers at once but sends each line 8 s after its Enter, in the
        // background, as read at the Enter; then empties the box.
        {"taking longer than the take bound", [](Hanging& h) { h.ChatDelay(8); }},
    };
    for (const auto& c : cases) {
        for (const bool wine : {true, false}) {
            Hanging h(wine);
            c.make(h);
            h.SayTwo();
            h.p.RunFor(60);
            EXPECT_EQ(h.client.Transcript("Lobby"), (Texts{"one", "two"})) << h.Where(c.client);
            h.ExpectBrbBackAndNeverSent(h.Where(c.client));
            EXPECT_EQ(h.p.ArmedLeft(), 0u) << h.Where(c.client);
        }
    }
}

// A room left and entered again while a line goes (disconnect protection's
// re-entry): the line queued meanwhile, and one whose text the old box never
// took, go to the new room's box, not into the old one's void.
TEST(ChatHang, LinesFollowTheRoomWhenItIsLeftAndEnteredAgainMidSend) {
    Hanging slow(false);
    slow.ChatDelay(2);
    slow.p.Schedule(1.0, [&] {
        slow.client.Disconnect();
        slow.client.SignOn("Joe");
        slow.room = slow.client.OpenRoom("Lobby");
        slow.chat.SendChatLine("back in the room");
    });
    slow.chat.SendChatLine("gone with the room");
    slow.p.RunFor(30);
    EXPECT_EQ(slow.client.Transcript("Lobby"), Texts{"back in the room"});
    EXPECT_EQ(slow.client.InputText(slow.room), "");

    Hanging moved(false);
    const aolsim::Handle old = moved.client.RoomInput(moved.room);
    moved.p.AtNth(
        sim::Op::SetText, 1,
        [&] {
            moved.client.Disconnect();
            moved.client.SignOn("Joe");
            moved.room = moved.client.OpenRoom("Lobby", "new");
        },
        old);
    moved.chat.SendChatLine("one");
    EXPECT_EQ(moved.client.Transcript("Lobby"), Texts{"one"});
    EXPECT_EQ(moved.client.InputText(moved.room), "new");
}

// The owed text goes back only into its own box, and not over what the user
// typed since.
TEST(ChatHang, OwedTextGoesBackOnlyIntoItsOwnBoxAndNeverOverNewTyping) {
    for (const bool wine : {true, false}) {
        // Stuck for 8 s after the line went; the user types anew as it ends.
        Hanging retyped(wine);
        retyped.client.When(Trigger::ChatLineSent, Reaction::Block, 8);
        retyped.p.Schedule(8, [&] { retyped.client.TypeInRoom(retyped.room, "back now"); });
        retyped.chat.SendChatLine("one");
        retyped.p.RunFor(60);
        EXPECT_EQ(retyped.client.InputText(retyped.room), "back now") << retyped.Where("retyped");

        // Another room comes in front while the text is owed and the client
        // stuck: the next line goes there once it answers, the text back
        // into Lobby.
        Hanging other(wine);
        other.client.When(Trigger::ChatLineSent, Reaction::Block, 8);
        other.chat.SendChatLine("one");
        const aolsim::Handle front = other.client.OpenRoom("Front", "mine too");
        other.chat.SendChatLine("two");
        other.p.RunFor(30);
        EXPECT_EQ(other.client.Transcript("Lobby"), Texts{"one"}) << other.Where("other room");
        EXPECT_EQ(other.client.Transcript("Front"), Texts{"two"}) << other.Where("other room");
        EXPECT_EQ(other.client.InputText(front), "mine too") << other.Where("other room");
        other.ExpectBrbBackAndNeverSent(other.Where("other room"));
    }
}

// A client that answers but never empties its box is not typed over until
// the line is past taking; a client hung for good gets the lines dropped in
// time and its box left alone.
TEST(ChatHang, LineNeverTakenIsTypedOverOnlyOnceItIsPastTakingAndHeldLinesExpire) {
    Hanging keeps(true);
    keeps.client.SetInputNeverEmpties(true);
    keeps.chat.SendChatLine("one");
    keeps.p.RunFor(bounds::kLineGoneSeconds - 5);
    EXPECT_EQ(keeps.client.InputText(keeps.room), "one");
    keeps.p.RunFor(10);
    EXPECT_EQ(keeps.client.InputText(keeps.room), "brb");
    EXPECT_EQ(keeps.client.Transcript("Lobby"), Texts(3, "one"));  // the client's own fault: three Enters

    Hanging hung(true);
    hung.client.SetHung(true);
    hung.SayTwo();
    hung.p.RunFor(bounds::kHeldLineSeconds + bounds::kRetryLongestSeconds + 10);
    EXPECT_FALSE(hung.chat.Waiting());
    hung.client.SetHung(false);
    hung.p.RunFor(30);
    EXPECT_EQ(hung.client.Transcript("Lobby"), Texts{});
    EXPECT_EQ(hung.client.InputText(hung.room), "brb");
}

// Random hang spells for a simulated hour, run after run: two lines every
// 20 s, as the program's announcements; now and then for 0.5 to 9 s the
// client busy, stuck in a handler of its own, in an Enter, or right after a
// line, under Wine or Windows.  However they fall, at the end the user's
// text is back in the box and never went out, and the lines went out in
// order, each at most once.  QM_HANG_SEED=N replays run N alone.
TEST(ChatHang, RandomHangSpellsNeverLoseOrSendTheUsersText) {
    std::vector<unsigned> seeds;
    if (const char* one = std::getenv("QM_HANG_SEED"))
        seeds.push_back(static_cast<unsigned>(std::strtoul(one, nullptr, 10)));
    else
        for (unsigned seed = 1; seed <= 40; ++seed) seeds.push_back(seed);
    for (const unsigned seed : seeds) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " (replay alone: QM_HANG_SEED=" + std::to_string(seed) + ")");
        std::mt19937 random(seed);
        auto between = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
        Hanging h(seed % 2 == 1);
        h.ChatDelay(std::vector<double>{0, 0, 0.5, 1.5}[random() % 4]);
        int sent = 0;
        Timer talk(h.p, 20000, [&] {
            h.chat.SendChatLine(std::to_string(++sent));
            Pause(h.p, 0.4);
            h.chat.SendChatLine(std::to_string(++sent));
        });
        talk.SetEnabled(true);
        std::function<void()> spell = [&] {
            if (h.p.Now() > 3600) return;
            const double seconds = between(0.5, 9);
            switch (random() % 4) {
                case 0: h.client.Hang(seconds); break;
                case 1: h.p.BlockInHandler(seconds); break;
                case 2: h.client.When(Trigger::ChatEnter, Reaction::Block, seconds); break;
                default: h.client.When(Trigger::ChatLineSent, Reaction::Block, seconds); break;
            }
            h.p.Schedule(between(5, 60), spell);
        };
        h.p.Schedule(between(0, 30), spell);
        h.p.RunFor(3600);
        talk.SetEnabled(false);
        h.p.RunFor(bounds::kHeldLineSeconds + bounds::kLineGoneSeconds + 30);
        h.ExpectBrbBackAndNeverSent(h.Where("spells"));
        int last = 0;
        for (const std::string& line : h.client.Transcript("Lobby")) {
            const int n = std::atoi(line.c_str());
            EXPECT_GT(n, last) << "out of order or twice: " << line;
            last = n;
        }
        EXPECT_GT(h.client.Transcript("Lobby").size() * 2, static_cast<std::size_t>(sent)) << "most lines go";
        EXPECT_FALSE(h.chat.Waiting());
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace qm::aol

namespace qm::testing {
namespace {

// Exit while the client is stuck in a farewell line's Enter, or lost the
// second one's Enter: both lines go, then the user's text is back, and only
// then the program ends.
TEST(ChatHangExit, ExitWhileTheClientHangsMidFarewellPutsTheUsersTextBackFirst) {
    for (const bool secondEnterLost : {false, true}) {
        for (const bool wine : {true, false}) {
            World w;
            w.sim.SetDropsTimedOutSends(wine);
            w.Client("8.0", "Joe", "brb");
            w.Launch(kDecorations);
            if (secondEnterLost) {
                w.sim.AtNth(sim::Op::Send, 2, [&w] { w.sim.SetBusyUntil(w.sim.Now() + 8); },
                            w.client.RoomInput(w.room));
            } else {
                w.client.When(aolsim::Trigger::ChatEnter, aolsim::Reaction::Block, 8);
            }
            w.Choose({"exit"});
            const std::string what = std::string(secondEnterLost ? "second Enter lost" : "stuck") + (wine ? " (Wine)" : "");
            EXPECT_TRUE(w.sim.QuitCalled()) << what;
            EXPECT_EQ(w.sim.ArmedLeft(), 0u) << what;
            EXPECT_EQ(w.Lines().size(), 2u) << what;
            EXPECT_EQ(w.client.InputText(w.room), "brb") << what;
            for (const aolsim::ChatLine& line : w.client.Chat()) EXPECT_NE(line.text, "brb") << what;
        }
    }
}

// Where the client's menus cannot be read, the "aol version" setting chooses
// the input box: 7.0 and 8.0 the first "RICHCNTL" after the read-only
// transcript, other versions (and none) the second "RICHCNTL".
TEST(ChatVersionSetting, TheStoredVersionChoosesTheInputBoxWhereMenusCannotBeRead) {
    const struct {
        const char* stored;
        const char* box;
    } cases[] = {{"7.0", "after transcript"}, {"8.0", "after transcript"}, {"6.0", "second"}, {"", "second"}};
    for (const auto& c : cases) {
        World w;
        const Hwnd main = w.sim.CreateWindow("AOL Frame25", "America Online", 0);
        const Hwnd room = w.sim.CreateWindow("AOL Child", "Lobby", w.sim.CreateWindow("MDIClient", "", main));
        w.sim.SetMenu(main, w.sim.CreateMenu({sim::MenuItem{"&Help", 0, w.sim.CreateMenu({{"What's New in AOL 8.0", 7}})}}));
        w.sim.SetMenusUnreadable(true);
        std::map<std::string, Texts> said;
        w.sim.CreateWindow("RICHCNTLREADONLY", "", room);
        for (const char* name : {"after transcript", "second"})
            w.sim.CreateWindow("RICHCNTL", "", room, [&, name](Hwnd self, const sim::Message& m) {
                if (m.msg != Msg::Char || m.wparam != kCharEnter) return false;
                said[name].push_back(w.sim.TextOf(self));
                w.sim.SetTextDirect(self, "");
                return true;
            });
        for (const char* cls : {"_AOL_Listbox", "_AOL_Icon", "_AOL_Static"}) w.sim.CreateWindow(cls, "", room);
        w.Launch(std::string("[aol]\r\nVERSION=") + c.stored + "\r\n");
        EXPECT_EQ(said[c.box].size(), 2u) << c.stored;  // the entry announcement
        EXPECT_EQ(said.size(), 1u) << c.stored;
    }
}

}  // namespace
}  // namespace qm::testing
