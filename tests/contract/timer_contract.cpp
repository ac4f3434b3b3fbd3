// Timers behave the same on every backend: they tick only from inside the
// event pump and only while running, each on its own, also inside a handler
// that waits; a stopped or destroyed timer never ticks again.
#include <string>
#include <tuple>
#include <vector>

#include "tests/contract/contract_test.h"

namespace qm::contract {
namespace {

using Lines = std::vector<std::string>;
using TimerContract = ContractTest;

TEST_F(TimerContract, TicksOnlyInsideWaitsWhileRunningEachOnItsOwn) {
    bool waiting = false;
    int idle = 0, ticks = 0, ticksOutsideWaits = 0;
    const int first = p.CreateTimer(10, [&] { ++idle; });
    const int second = p.CreateTimer(10, [&] {
        ticksOutsideWaits += !waiting;
        ++ticks;
    });
    EXPECT_TRUE(first != 0 && second != 0 && first != second) << first << " " << second;
    for (int timer : {0, -1, second + 1, second}) p.SetTimerRunning(timer, true);
    for (int i = 0; i < 400 && ticks < 3; ++i) {
        waiting = true;
        p.WaitForEvents(0.05);
        waiting = false;
    }
    EXPECT_EQ(std::tuple(ticks >= 3, ticksOutsideWaits, idle), std::tuple(true, 0, 0));
    p.SetTimerRunning(second, false);  // a tick already due must not run
    ticks = 0;
    Pump(0.1);
    EXPECT_EQ(ticks, 0);
    p.DestroyTimer(first);
    p.DestroyTimer(second);
}

// The pump inside a tick delivers what is posted and ticks the other timers,
// and the waiting handler's own timer too: a handler that must not run
// inside itself has to see to that itself.
TEST_F(TimerContract, AHandlerThatWaitsHearsPostsAndTicksOfEveryTimerItsOwnToo) {
    const Hwnd recorder = Make("QmTimerRecorder", "");
    int fast = 0, slowEntered = 0, slowInside = 0, fastWhileSlowWaited = 0;
    Lines heardInsideATick;
    int slow = 0;
    slow = p.CreateTimer(10, [&] {
        if (++slowEntered > 1) return void(++slowInside);
        p.Post(recorder, Msg::Char, 'n');
        p.ProcessEvents();
        heardInsideATick = Received(recorder);
        WaitUntil([&] { return fast >= 2 && slowInside >= 1; });
        fastWhileSlowWaited = fast;
        p.SetTimerRunning(slow, false);
    });
    const int quick = p.CreateTimer(15, [&] { ++fast; });
    p.SetTimerRunning(slow, true);
    p.SetTimerRunning(quick, true);
    ASSERT_TRUE(WaitUntil([&] { return fastWhileSlowWaited > 0; }));
    EXPECT_EQ(heardInsideATick, Lines{"char 110"});
    EXPECT_EQ(std::tuple(fastWhileSlowWaited >= 2, slowInside >= 1), std::tuple(true, true));
    p.DestroyTimer(slow);
    p.DestroyTimer(quick);
}

TEST_F(TimerContract, DestroyedTimerNeverTicksAgainEvenWhenItsOwnHandlerDestroysIt) {
    int ticks = 0, ownTicks = 0;
    const int timer = p.CreateTimer(10, [&] { ++ticks; });
    p.SetTimerRunning(timer, true);
    ASSERT_TRUE(WaitUntil([&] { return ticks > 0; }));
    p.DestroyTimer(timer);
    const int seen = ticks;
    p.SetTimerRunning(timer, true);  // gone for good
    int own = 0;
    own = p.CreateTimer(10, [&] {
        ++ownTicks;
        p.DestroyTimer(own);
    });
    EXPECT_NE(own, timer);
    p.SetTimerRunning(own, true);
    ASSERT_TRUE(WaitUntil([&] { return ownTicks > 0; }));
    Pump(0.1);
    EXPECT_EQ(std::tuple(ticks, ownTicks), std::tuple(seen, 1));
    for (int none : {0, -1, own + 100}) p.DestroyTimer(none);  // nothing to destroy
}

}  // namespace
}  // namespace qm::contract
