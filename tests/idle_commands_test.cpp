// Starting, stopping, pausing and re-timing idling: the state of the timer
// and of the three idle items, the counters reset, each change announced.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

class IdleCommands : public Idling {
protected:
    // Timer1, idle on, idle off, idle pause, and the pause item's caption.
    std::string State() {
        auto flag = [](bool on) { return on ? "+" : "-"; };
        return std::string(flag(form.Timer1.Enabled())) + flag(menus.Item("idleon").enabled) +
               flag(menus.Item("idleoff").enabled) + flag(menus.Item("idlepause").enabled) + " " +
               menus.Item("idlepause").caption;
    }
    void SetInterval(std::optional<std::string> answer) {
        sim.ScriptPrompt(std::move(answer));
        menus.Item("interval").Click();
    }
    const std::string kOff = "-+-- idle pause", kOn = "+-++ idle pause", kPaused = "--++ idle unpause";
};

TEST_F(IdleCommands, EveryStateAndTransition) {
    Start();
    EXPECT_EQ(State(), kOff);
    Choose({"idle options", "idle pause"});  // greyed
    Choose({"idle options", "idle off"});    // greyed
    EXPECT_EQ(State(), kOff);
    Minutes(5);
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
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
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Said("idle paused"), Said("idle unpaused"), Said("idle off"), kIdleOn1,
                              Said("idle paused"), Said("idle off")}));
}

// Interval 3: two ticks, a pause in which the clock stands still, and a
// full interval after resuming; nothing else is reset.
TEST_F(IdleCommands, PauseStopsTheClockAndUnpauseWaitsAFullInterval) {
    Start("[interval]\r\ninterval=3\r\n", "a\r\nb\r\n");
    IdleOn();
    Minutes(2);
    Choose({"idle options", "idle pause"});
    EXPECT_EQ(form.lblInterval2, "0");
    for (int i = 0; i < 5; ++i) {
        Minutes(1);
        EXPECT_EQ(form.Label2, "0d : 0h : 2m");
    }
    Choose({"idle options", "idle unpause"});
    Minutes(2);
    EXPECT_EQ(Lines().size(), 3u);
    Minutes(1);
    EXPECT_EQ(Lines().at(3), Clock("0", "0", "5"));
    EXPECT_EQ(Lines().at(4), Reason("a"));
}

TEST_F(IdleCommands, IdleOffResetsTheClockButKeepsTheStoredTotal) {
    Start();
    IdleOn();
    Minutes(3 * 60);
    Choose({"idle options", "idle off"});
    EXPECT_EQ(form.Label2 + " " + form.lblDay + form.lblHrs + form.lblMins + form.lblInterval2, "0d : 0h : 0m 0000");
    EXPECT_EQ(Stored("hour") + " " + Stored("minute"), "3 0");
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 0h : 1m");
}

// Kept as typed; shown, stored and announced at once; the timer and the
// counter are left alone.
TEST_F(IdleCommands, AcceptedIntervalIsShownStoredAndAnnounced) {
    Start();
    for (const std::string answer : {"15", "05", " 5", "1.9", "1e2"}) {
        SetInterval(answer);
        EXPECT_EQ(form.lblInterval, answer);
        EXPECT_EQ(menus.Item("interval").caption, "interval: " + answer);
        EXPECT_NE(sim.FileBytes(kSettings)->find("[interval]\r\nINTERVAL=" + answer + "\r\n"), std::string::npos);
        EXPECT_EQ(Lines().back(), Head(1) + "quillmoor idle \xB7 set idle interval: <font color=#0000ff>" + answer);
    }
    const sim::PromptCall& prompt = sim.Prompts().at(0);
    EXPECT_EQ(prompt.title + "|" + prompt.prompt + "|" + prompt.defaultText,
              "set idle interval|enter a number as time interval.|");
    EXPECT_EQ(State(), kOff);
}

TEST_F(IdleCommands, IntervalRefusesWhatIsNoPositiveNumber) {
    Start("[interval]\r\ninterval=4\r\n");
    const std::optional<std::string> before = sim.FileBytes(kSettings);
    for (const char* answer : {"", "abc", "0", "0.5", "0.99", "-3", "5x", "1e999"}) SetInterval(answer);
    SetInterval(std::nullopt);
    EXPECT_EQ(sim.Prompts().size(), 9u);
    EXPECT_EQ(form.lblInterval + " " + menus.Item("interval").caption, "4 interval: 4");
    EXPECT_EQ(sim.FileBytes(kSettings), before);
    EXPECT_TRUE(Lines().empty());
}

// A new interval below the counter is not reached until idle off (or
// pause) sets the counter back.
TEST_F(IdleCommands, NewIntervalBelowTheCounterWaitsForOff) {
    Start("[interval]\r\ninterval=10\r\n");
    IdleOn();
    Minutes(5);
    SetInterval("3");
    Minutes(20);
    EXPECT_EQ(Lines().size(), 2u);
    Choose({"idle options", "idle off"});
    IdleOn();
    Minutes(3);
    EXPECT_EQ(Lines().at(4), Clock("0", "0", "3"));
}

}  // namespace
}  // namespace qm::testing
