// Starting, stopping, pausing and re-timing idling: the state of the timer
// and the three idle items, the counters reset, and each change announced.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

struct IdleState {
    bool timer, on, off, pause;
    std::string pauseCaption;
    bool operator==(const IdleState&) const = default;
};
void PrintTo(const IdleState& s, std::ostream* os) {
    *os << "timer " << s.timer << ", idle on " << s.on << ", idle off " << s.off << ", pause " << s.pause << " \""
        << s.pauseCaption << "\"";
}

const IdleState kOff{false, true, false, false, "idle pause"};
const IdleState kOn{true, false, true, true, "idle pause"};
const IdleState kPaused{false, false, true, true, "idle unpause"};

class IdleCommands : public Idling {
protected:
    IdleState State() {
        return {form.Timer1.Enabled(), menus.Item("idleon").enabled, menus.Item("idleoff").enabled,
                menus.Item("idlepause").enabled, menus.Item("idlepause").caption};
    }
    const std::string onLine = Said("idle on<font color=#000000> \xB7 interval: <font color=#0000ff>");
};

TEST_F(IdleCommands, EveryStateAndTransitionOfTheTable) {
    Start();
    EXPECT_EQ(State(), kOff);
    Choose({"idle options", "idle pause"});  // greyed
    Choose({"idle options", "idle off"});    // greyed
    EXPECT_EQ(State(), kOff);
    IdleOn();
    EXPECT_EQ(State(), kOn);
    Choose({"idle options", "idle pause"});
    EXPECT_EQ(State(), kPaused);
    Choose({"idle options", "idle unpause"});
    EXPECT_EQ(State(), kOn);
    Choose({"idle options", "idle off"});
    EXPECT_EQ(State(), kOff);
    IdleOn();
    Choose({"idle options", "idle pause"});
    Choose({"idle options", "idle off"});
    EXPECT_EQ(State(), kOff);
    EXPECT_EQ(Lines(), (std::vector<std::string>{onLine + "1", Said("idle paused"), Said("idle unpaused"),
                                                 Said("idle off"), onLine + "1", Said("idle paused"),
                                                 Said("idle off")}));
}

TEST_F(IdleCommands, ClockDoesNotRunBeforeIdleOn) {
    Start();
    Minutes(5);
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
    EXPECT_EQ(Stored("minute"), "");
}

TEST_F(IdleCommands, IdleOnResetsNothing) {
    Reasons("a\r\nb\r\n");
    Start("[interval]\r\ninterval=2\r\n");
    IdleOn();
    Minutes(3);
    Choose({"idle options", "idle pause"});
    Choose({"idle options", "idle unpause"});
    EXPECT_EQ(form.Label2, "0d : 0h : 3m");
    EXPECT_EQ(form.lblReason, "a");
    EXPECT_EQ(Lines().front(), onLine + "2");
}

// Interval 3: two ticks, a pause that stands still, and a full interval
// after resuming.
TEST_F(IdleCommands, PauseStopsTheClockAndUnpauseWaitsAFullInterval) {
    Start("[interval]\r\ninterval=3\r\n");
    IdleOn();
    Minutes(2);
    Choose({"idle options", "idle pause"});
    EXPECT_EQ(form.lblInterval2, "0");
    for (int i = 0; i < 10; ++i) {
        Minutes(1);
        EXPECT_EQ(form.Label2, "0d : 0h : 2m");
    }
    Choose({"idle options", "idle unpause"});
    Minutes(2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{onLine + "3", Said("idle paused"), Said("idle unpaused")}));
    Minutes(1);
    EXPECT_EQ(Lines().size(), 5u);
    EXPECT_EQ(Lines().at(3), Clock("0", "0", "5"));
}

TEST_F(IdleCommands, IdleOffResetsTheClockButKeepsTheStoredTotal) {
    Start();
    IdleOn();
    Minutes(3 * 60);
    EXPECT_EQ(form.Label2, "0d : 3h : 0m");
    Choose({"idle options", "idle off"});
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
    EXPECT_EQ(form.lblDay + form.lblHrs + form.lblMins + form.lblInterval2, "0000");
    EXPECT_EQ(Stored("hour"), "3");
    EXPECT_EQ(Stored("minute"), "0");
    EXPECT_EQ(Lines().back(), Said("idle off"));
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 0h : 1m");
}

TEST_F(IdleCommands, AcceptedIntervalIsShownStoredAndAnnounced) {
    Start();
    sim.ScriptPrompt("15");
    Choose({"idle options", "interval: 1"});
    ASSERT_EQ(sim.Prompts().size(), 1u);
    EXPECT_EQ(sim.Prompts()[0].title, "set idle interval");
    EXPECT_EQ(sim.Prompts()[0].prompt, "enter a number as time interval.");
    EXPECT_EQ(sim.Prompts()[0].defaultText, "");
    EXPECT_EQ(form.lblInterval, "15");
    EXPECT_EQ(menus.Item("interval").caption, "interval: 15");
    EXPECT_NE(sim.FileBytes(kSettings)->find("[interval]\r\nINTERVAL=15\r\n"), std::string::npos);
    EXPECT_EQ(Lines(), std::vector<std::string>{
                           Head(1) + "quillmoor idle \xB7 set idle interval: <font color=#0000ff>15"});
    EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(IdleCommands, IntervalKeepsTheAnswerAsTyped) {
    Start();
    for (const std::string answer : {"05", " 5", "1.9", "1e2"}) {
        sim.ScriptPrompt(answer);
        menus.Item("interval").Click();
        EXPECT_EQ(form.lblInterval, answer);
        EXPECT_EQ(menus.Item("interval").caption, "interval: " + answer);
        EXPECT_NE(sim.FileBytes(kSettings)->find("INTERVAL=" + answer + "\r\n"), std::string::npos);
        EXPECT_EQ(Lines().back(), Head(1) + "quillmoor idle \xB7 set idle interval: <font color=#0000ff>" + answer);
    }
}

TEST_F(IdleCommands, IntervalRefusesWhatIsNoPositiveNumber) {
    Start("[interval]\r\ninterval=4\r\n");
    const std::string before = sim.FileBytes(kSettings).value();
    for (const char* answer : {"", "abc", "0", "0.5", "0.99", "-3", "5x", "1e999"}) {
        sim.ScriptPrompt(answer);
        menus.Item("interval").Click();
    }
    sim.ScriptPrompt(std::nullopt);  // cancelled
    menus.Item("interval").Click();
    EXPECT_EQ(sim.Prompts().size(), 9u);
    EXPECT_EQ(form.lblInterval, "4");
    EXPECT_EQ(menus.Item("interval").caption, "interval: 4");
    EXPECT_EQ(sim.FileBytes(kSettings), before);
    EXPECT_TRUE(Lines().empty());
}

// The counter is not reset by a new interval.
TEST_F(IdleCommands, NewIntervalBelowTheCounterWaitsForPauseOrOff) {
    Start("[interval]\r\ninterval=10\r\n");
    IdleOn();
    Minutes(5);
    sim.ScriptPrompt("3");
    menus.Item("interval").Click();
    EXPECT_EQ(form.lblInterval2, "5");
    Minutes(20);
    EXPECT_EQ(Lines().size(), 2u);  // idle on, set interval
    Choose({"idle options", "idle off"});
    IdleOn();
    Minutes(3);
    EXPECT_EQ(Lines().size(), 6u);
    EXPECT_EQ(Lines().at(4), Clock("0", "0", "3"));
}

TEST_F(IdleCommands, WithoutARoomTheStateStillChanges) {
    Start();
    client.DestroyWindow(room);
    IdleOn();
    sim.ScriptPrompt("7");
    menus.Item("interval").Click();
    EXPECT_EQ(State(), kOn);
    EXPECT_EQ(menus.Item("interval").caption, "interval: 7");
    EXPECT_TRUE(Lines().empty());
}

}  // namespace
}  // namespace qm::testing
