// What only the simulated platform has: virtual time that behaves like a
// message loop, its busy and stuck threads measured in it, and its faults.
// The rules it shares with the real platform (lookups, texts, messages to a
// busy thread, menus, timers, files) are the contract suites' (tests/contract).
#include "platform/sim/sim_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "aol/bounds.h"
#include "app/timer.h"

namespace qm::sim {
namespace {

class Sim : public ::testing::Test {
protected:
    SimPlatform p;
};

// Hung windows (the timeout per message, the caption read without one) are
// shown by the chat sender and transfer reader tests.
TEST_F(Sim, BusyThreadAnswersLateInOrderAndPostedMessagesWaitForIt) {
    std::vector<std::string> seen;
    Hwnd w = p.CreateWindow("RICHCNTL", "a", 0, [&](Hwnd, const Message& m) {
        seen.push_back(m.msg == Msg::SetText ? "set " + m.text : m.msg == Msg::Close ? "close" : "char");
        return m.msg == Msg::Close;  // stays
    });
    EXPECT_EQ(p.ThreadOf(w), kClientThread);
    p.SetBusyUntil(0.5);
    EXPECT_TRUE(p.SetText(w, "b"));  // within the timeout: answered late
    EXPECT_DOUBLE_EQ(p.Now(), 0.5);
    p.SetBusyUntil(5.0);
    EXPECT_FALSE(p.SetText(w, "c"));  // given up on after the timeout ...
    EXPECT_DOUBLE_EQ(p.Now(), 1.5);
    EXPECT_EQ(p.GetTextLength(w), std::nullopt);
    EXPECT_DOUBLE_EQ(p.Now(), 2.5);
    p.Post(w, Msg::Close);
    EXPECT_FALSE(p.Send(w, Msg::Char, 13));
    p.ProcessEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"set b"}));
    EXPECT_EQ(p.TextOf(w), "b");
    p.RunFor(2.0);  // ... but handled once the thread is free, before the posted one
    EXPECT_EQ(seen, (std::vector<std::string>{"set b", "set c", "char", "close"}));
    EXPECT_EQ(p.GetText(w, 10), "c");
}

// A handler stuck by the very message sent to it, in virtual time: its
// sender and the next wait out their timeout; once free, the handler
// finishes first, then what was sent meanwhile is handled in order (Windows)
// or was lost (Wine).  (A thread stuck by a posted message, the way both
// backends show it, is the contract's: tests/contract/busy_contract.cpp.)
TEST_F(Sim, HandlerStuckBySentMessageUnderWindowsOrWineCostsItsSendersTheirTimeout) {
    for (const bool wine : {false, true}) {
        SimPlatform p;
        p.SetDropsTimedOutSends(wine);
        std::vector<std::string> seen;
        double stuck = 3.0;
        Hwnd w = p.CreateWindow("RICHCNTL", "a", 0, [&](Hwnd, const Message& m) {
            if (m.msg == Msg::GetText) return false;
            seen.push_back(m.msg == Msg::SetText ? "set " + m.text : m.msg == Msg::Close ? "close" : "char");
            if (m.msg == Msg::Char) p.BlockInHandler(stuck, [&] { seen.push_back("finished"); });
            return m.msg == Msg::Close;
        });
        EXPECT_FALSE(p.Send(w, Msg::Char, 13)) << wine;
        EXPECT_DOUBLE_EQ(p.Now(), 1.0) << wine;
        EXPECT_FALSE(p.SetText(w, "b")) << wine;
        EXPECT_DOUBLE_EQ(p.Now(), 2.0) << wine;
        p.Post(w, Msg::Close);
        p.ProcessEvents();
        // Within its timeout: answered late, after the rest of the handler
        // and (Windows) the text set meanwhile.
        EXPECT_EQ(p.GetText(w, 10), wine ? "a" : "b") << wine;
        EXPECT_DOUBLE_EQ(p.Now(), 3.0) << wine;
        p.RunFor(1.0);
        const std::vector<std::string> windows = {"char", "finished", "set b", "close"};
        const std::vector<std::string> lost = {"char", "finished", "close"};
        EXPECT_EQ(seen, wine ? lost : windows) << wine;
        // Stuck for less than the timeout: the sender waits for the rest.
        seen.clear();
        stuck = 0.5;
        EXPECT_TRUE(p.Send(w, Msg::Char, 13)) << wine;
        EXPECT_DOUBLE_EQ(p.Now(), 4.5) << wine;
        EXPECT_EQ(seen, (std::vector<std::string>{"char", "finished"})) << wine;
    }
}

// As under Wine for another process's menus: nothing of them can be read.
TEST_F(Sim, UnreadableMenusReadAsNothing) {
    Hmenu file = p.CreateMenu({{"&Open", 10}});
    Hmenu bar = p.CreateMenu({{"&File", 0, file}, {"Help", 20}});
    p.SetMenusUnreadable(true);
    EXPECT_EQ(std::tuple(p.GetMenuItemCount(bar), p.GetSubMenu(bar, 0), p.GetMenuItemID(bar, 1),
                         p.GetMenuString(bar, 10, 100), p.GetMenuString(file, 10, 100)),
              std::tuple(-1, Hmenu{0}, kMenuIdSubmenu, "", ""));
    p.SetMenusUnreadable(false);
    EXPECT_EQ(std::tuple(p.GetMenuItemCount(bar), p.GetSubMenu(bar, 0), p.GetMenuString(bar, 10, 100)),
              std::tuple(2, file, "&Open"));
}

TEST_F(Sim, TimeAdvancesOnlyInsideWaitsAndTimersFireThereWhileRunningUntilQuit) {
    std::vector<double> ticks;
    p.Schedule(0.25, [&] { ticks.push_back(p.Now()); });
    p.ProcessEvents();
    EXPECT_DOUBLE_EQ(p.Now(), 0.0);
    p.WaitForEvents(10);  // ends at the first event
    EXPECT_EQ(ticks, std::vector<double>{0.25});
    int id = p.CreateTimer(3000, [&] { ticks.push_back(p.Now()); });
    p.RunFor(3.75);
    EXPECT_EQ(ticks.size(), 1u);
    p.SetTimerRunning(id, true);
    p.RunFor(9.5);
    EXPECT_EQ(ticks, (std::vector<double>{0.25, 7, 10, 13}));
    p.SetTimerRunning(id, false);
    p.RunFor(10);
    p.SetTimerRunning(id, true);
    p.Quit();
    p.RunFor(10);
    EXPECT_EQ(ticks.size(), 4u);
    EXPECT_TRUE(p.QuitCalled());
}

TEST_F(Sim, TimerHandlerNeverRunsInsideItself) {
    int entered = 0, depth = 0, deepest = 0;
    Timer timer(p, 1000, [&] {
        ++entered;
        deepest = std::max(deepest, ++depth);
        p.RunFor(2.5);  // waits through two more due ticks
        --depth;
    });
    timer.SetEnabled(true);
    p.RunFor(1.0);
    EXPECT_EQ(std::tuple(entered, deepest, timer.Busy()), std::tuple(1, 1, false));
    p.RunFor(1.0);  // the next tick comes an interval after the last one due
    EXPECT_EQ(entered, 2);
}

TEST_F(Sim, OtherTimersFireInsideAWaitingHandler) {
    std::vector<std::string> log;
    Timer slow(p, 1000, [&] {
        log.push_back("slow begins");
        p.RunFor(1.0);
        log.push_back("slow ends");
    });
    Timer fast(p, 300, [&] { log.push_back("fast"); });
    slow.SetEnabled(true);
    p.RunFor(2.5);
    EXPECT_EQ(log, (std::vector<std::string>{"slow begins", "slow ends"}));
    log.clear();
    fast.SetEnabled(true);  // ticks at 2.8, 3.1, ...; slow's next tick at 3.0 waits until 4.0
    p.RunFor(0.5);
    EXPECT_EQ(log, (std::vector<std::string>{"fast", "slow begins", "fast", "fast", "fast", "fast", "slow ends"}));
}

// A Timer object that goes stops its timer, also from inside its own
// handler.  (A destroyed timer never ticking is the contract's.)
TEST_F(Sim, TimerObjectGoneInsideItsOwnHandlerStopsItsTimer) {
    int ticks = 0;
    std::unique_ptr<Timer> timer;
    timer = std::make_unique<Timer>(p, 100, [&] {
        ++ticks;
        timer.reset();
    });
    timer->SetEnabled(true);
    EXPECT_EQ(p.TimersRunning(), 1);
    p.RunFor(1);
    EXPECT_EQ(std::tuple(ticks, p.TimersRunning(), timer == nullptr), std::tuple(1, 0, true));
}

// The file faults of the simulated platform.  (What files are and how they
// read and write is the contract's.)
TEST_F(Sim, FileThatCannotBeReadIsNotRewrittenAndAReadPastABreakFails) {
    const std::string path = "C:\\q\\quillmoor.dat", bytes = "[a]\r\nb=1\r\n";
    p.SetFileBytes(path, bytes);
    // As Windows: a settings file that cannot be read is not rewritten from nothing.
    p.SetFileFlags(path, {.unreadable = true});
    EXPECT_EQ(std::tuple(p.WriteProfileString("a", "b", "c", path), p.GetProfileString("a", "b", path, 100),
                         p.ReadFile(path, 100)),
              std::tuple(false, "", std::optional<std::string>()));
    p.SetFileFlags(path, {.breaksAfter = 4});
    EXPECT_EQ(std::pair(p.ReadFile(path, 4), p.ReadFile(path, 5)),
              std::pair(std::optional<std::string>("[a]\r"), std::optional<std::string>()));
    EXPECT_EQ(p.FileBytes(path), bytes);
}

}  // namespace
}  // namespace qm::sim
