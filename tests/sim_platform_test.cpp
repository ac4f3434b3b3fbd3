// The simulated platform keeps Win32's rules for the operations the program
// uses, and its virtual time behaves like a message loop.
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

TEST_F(Sim, LookupsAndTextReadsFollowWin32sRulesAndWindowZeroIsNothing) {
    Hwnd modal = p.CreateWindow("_AOL_Modal", "File Transfer - 12%", 0);
    EXPECT_EQ(p.FindWindow("_aol_modal"), modal);
    EXPECT_EQ(p.FindWindow("_AOL_MODAL", std::string_view("file transfer - 12%")), modal);
    EXPECT_EQ(p.FindWindow("_AOL_Modal", std::string_view("File Transfer")), 0u);
    EXPECT_EQ(p.FindWindow("AOL Modal"), 0u);
    Hwnd room = p.CreateWindow("AOL Child", "Lobby", 0), first = p.CreateWindow("RICHCNTL", "abc\xB7\xE9", room),
         list = p.CreateWindow("_AOL_Listbox", "", room), second = p.CreateWindow("RICHCNTL", "", room);
    EXPECT_EQ(std::vector<Hwnd>({p.FindWindowEx(room, 0, "RICHCNTL"), p.FindWindowEx(room, first, "RICHCNTL"),
                                 p.FindWindowEx(room, second, "RICHCNTL"), p.FindWindowEx(room, room, "RICHCNTL"),
                                 p.FindWindowEx(0, 0, "AOL Child"), p.NextWindow(first), p.NextWindow(second)}),
              std::vector<Hwnd>({first, second, 0, 0, 0, list, 0}));  // `room` is no child of itself
    // At most the buffer less one byte, high bytes kept.
    EXPECT_EQ(p.GetTextLength(first), 5);
    EXPECT_EQ(std::vector<std::optional<std::string>>({p.GetText(first, 6), p.GetText(first, 3), p.GetText(first, 0)}),
              std::vector<std::optional<std::string>>({"abc\xB7\xE9", "ab", ""}));
    EXPECT_EQ(p.GetWindowText(first, 4), "abc");
    EXPECT_EQ(std::tuple(p.GetText(0, 100), p.GetTextLength(0), p.GetWindowText(0, 100), p.NextWindow(0)),
              std::tuple(std::optional<std::string>(""), std::optional(0), "", Hwnd{0}));
    p.SetText(0, "x");
    p.Send(0, Msg::Close);
    p.Post(0, Msg::Close);
    p.ProcessEvents();
    EXPECT_EQ(p.GetMenuItemCount(p.GetMenu(0)), -1);
}

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

// A thread stuck in one handler: the message's own sender and the others
// wait out their timeout; once free, the handler finishes first, then what
// was sent meanwhile is handled in order (Windows) or was lost (Wine);
// posted messages wait either way.
TEST_F(Sim, HandlerStuckUnderWindowsOrWineFinishesFirstAndWhatTimedOutIsLateOrLost) {
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

TEST_F(Sim, MenusWalkAndLookUpByCommand) {
    Hwnd main = p.CreateWindow("AOL Frame25", "America  Online", 0);
    Hmenu deeper = p.CreateMenu({{"Deep item", 77}});
    Hmenu file = p.CreateMenu({{"&Open", 10}, {"", 0, 0, true}, {"More", 0, deeper}, {std::string(120, 'x'), 11}});
    Hmenu bar = p.CreateMenu({{"&File", 0, file}});
    p.SetMenu(main, bar);
    EXPECT_EQ(std::tuple(p.GetMenu(main), p.GetMenuItemCount(bar), p.GetSubMenu(bar, 0)), std::tuple(bar, 1, file));
    EXPECT_EQ(std::tuple(p.GetMenuItemID(file, 0), p.GetMenuItemID(file, 1), p.GetMenuItemID(file, 2)),
              std::tuple(10u, 0u, kMenuIdSubmenu));
    EXPECT_EQ(std::vector<std::string>({p.GetMenuString(file, 10, 100), p.GetMenuString(file, 77, 100),
                                        p.GetMenuString(file, 11, 100), p.GetMenuString(file, 12, 100)}),
              std::vector<std::string>({"&Open", "Deep item", std::string(99, 'x'), ""}));
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

TEST_F(Sim, DestroyedTimerNeverTicksAgainEvenWhenItsOwnHandlerDestroysIt) {
    int ticks = 0;
    auto timer = std::make_unique<Timer>(p, 100, [&] { ++ticks; });
    timer->SetEnabled(true);
    p.RunFor(0.25);
    EXPECT_EQ(p.TimersRunning(), 1);
    timer.reset();
    EXPECT_EQ(p.TimersRunning(), 0);
    p.RunFor(1);
    EXPECT_EQ(ticks, 2);
    timer = std::make_unique<Timer>(p, 100, [&] {
        ++ticks;
        timer.reset();
    });
    timer->SetEnabled(true);
    p.RunFor(1);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(timer, nullptr);
}

// Read-only, unreadable and folderless files are shown by the settings,
// reasons and password tests.
TEST_F(Sim, FileExistenceFollowsAttributesAndReadsStopAtTheLimit) {
    p.SetProgramFolder("C:\\q");
    EXPECT_FALSE(p.FileExists(""));
    EXPECT_FALSE(p.FileExists("C:\\q\\quillmoor.rea"));
    EXPECT_EQ(p.ReadFile("C:\\q\\quillmoor.rea", 10), std::nullopt);
    ASSERT_TRUE(p.WriteFile("C:\\q\\quillmoor.rea", std::string(1000, 'b')));
    EXPECT_TRUE(p.FileExists("c:\\Q\\QUILLMOOR.REA"));
    EXPECT_EQ(p.ReadFile("C:\\q\\quillmoor.rea", 10), std::string(10, 'b'));
    p.SetFileFlags("C:\\q\\quillmoor.rea", {.hidden = true});
    EXPECT_FALSE(p.FileExists("C:\\q\\quillmoor.rea"));
    EXPECT_FALSE(p.FileExists("C:\\q"));
    // As Windows: a settings file that cannot be read is not rewritten from nothing.
    p.SetFileFlags("C:\\q\\quillmoor.rea", {.unreadable = true});
    EXPECT_FALSE(p.WriteProfileString("a", "b", "c", "C:\\q\\quillmoor.rea"));
    p.SetFileFlags("C:\\q\\quillmoor.rea", {});
    EXPECT_EQ(p.FileBytes("C:\\q\\quillmoor.rea"), std::string(1000, 'b'));
}

}  // namespace
}  // namespace qm::sim
