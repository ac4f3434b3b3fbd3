// The idle tick: the clock of this run, the stored total of all runs, the
// announcement counter and the idle announcement with its rotating reasons.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

using Tick = Idling;

// The display is set after both carries; only the plain texts "60" and
// "24" carry, the hour on any tick; a label that is no number keeps its
// text and the tick goes on.
TEST_F(Tick, ClockCarriesOnlyAtItsPlainLimits) {
    Start();
    const struct {
        const char *day, *hrs, *mins, *shown;
    } cases[] = {
        {"0", "0", "59", "0d : 1h : 0m"},   {"0", "23", "59", "1d : 0h : 0m"}, {"3", "24", "10", "4d : 0h : 11m"},
        {"0", "024", "75", "0d : 024h : 76m"}, {"x", "23", "abc", "xd : 23h : abcm"},
    };
    for (const auto& c : cases) {
        form.lblDay = c.day, form.lblHrs = c.hrs, form.lblMins = c.mins;
        program.idle.Timer1_Timer();
        EXPECT_EQ(form.Label2, c.shown);
    }
    EXPECT_EQ(Lines().at(2), Clock("1", "0", "0"));
    EXPECT_EQ(Lines().at(8), Clock("x", "23", "abc"));
}

// The minute is written back normalised every tick; hour and day as read
// unless they carry, so missing ones are written back empty.
TEST_F(Tick, StoredTotalCarriesAndKeepsWhatDoesNotCarry) {
    const struct {
        const char *stats, *minute, *hour, *day;
    } cases[] = {
        {"minute=59\r\nhour=23\r\nday=4", "0", "0", "5"},
        {"", "1", "", ""},
        {"minute=59", "0", "1", ""},
        {"minute= 07x\r\nhour=030\r\nday=2.50", "8", "030", "2.50"},
        {"minute=75\r\nhour=24", "76", "0", "1"},
        {"minute=58\r\nhour=024", "59", "024", ""},
    };
    for (const auto& c : cases) {
        sim.SetFileBytes(kSettings, std::string("[stats]\r\n") + c.stats + "\r\n");
        program.idle.Timer1_Timer();
        EXPECT_EQ(Stored("minute") + "|" + Stored("hour") + "|" + Stored("day"),
                  std::string(c.minute) + "|" + c.hour + "|" + c.day)
            << c.stats;
    }
    sim.RemoveFile(kSettings);
    program.idle.Timer1_Timer();
    EXPECT_EQ(sim.FileBytes(kSettings), "[stats]\r\nMINUTE=1\r\nHOUR=\r\nDAY=\r\n");
}

// Unreadable, the file would read as a total of 0: it is not overwritten.
TEST_F(Tick, UnreadableSettingsFileKeepsItsTotal) {
    Start("[stats]\r\nminute=30\r\nhour=2\r\nday=1\r\n");
    const std::optional<std::string> before = sim.FileBytes(kSettings);
    sim.SetFileFlags(kSettings, {.unreadable = true});
    IdleOn();
    Minutes(2);
    EXPECT_EQ(sim.FileBytes(kSettings), before);
    EXPECT_EQ(Lines().size(), 5u);
}

TEST_F(Tick, AnnouncementComesEveryIntervalOfTicks) {
    Start("[interval]\r\ninterval=3\r\n");
    IdleOn();
    Texts seen;
    for (int tick = 1; tick <= 9; ++tick) {
        Minutes(1);
        seen.push_back(std::to_string(Lines().size() - 1));
    }
    EXPECT_EQ(seen, (Texts{"0", "0", "2", "2", "2", "4", "4", "4", "6"}));
    EXPECT_EQ(Lines().at(3), Clock("0", "0", "6"));
    form.lblInterval = "1";
    Minutes(2);
    EXPECT_EQ(Lines().size(), 11u);
}

// "05" and "1.9" count by their whole minutes; what is no number never
// comes round.
TEST_F(Tick, IntervalInAnotherFormCountsByItsWholeMinutes) {
    Start("[interval]\r\ninterval=05\r\n");
    IdleOn();
    Minutes(4);
    EXPECT_EQ(Lines().size(), 1u);
    Minutes(1);
    EXPECT_EQ(Lines().size(), 3u);
    form.lblInterval = "1.9";
    Minutes(2);
    EXPECT_EQ(Lines().size(), 7u);
    form.lblInterval = "abc";
    Minutes(5);
    EXPECT_EQ(Lines().size(), 7u);
    EXPECT_EQ(form.lblInterval2, "5");
}

// In list order and round; a duplicate sends the rotation back to its
// first place; letter case counts; an empty list or entry gives the
// default reason, and after an empty entry the rotation goes on.
TEST_F(Tick, ReasonsRotate) {
    const struct {
        const char* file;
        Texts said;
    } cases[] = {
        {"a\r\nb\r\nc\r\n", {"a", "b", "c", "a", "b"}},
        {"a\r\nb\r\na\r\nc\r\n", {"a", "b", "a", "b", "a"}},
        {"brb\r\nBRB\r\n", {"brb", "BRB", "brb", "BRB", "brb"}},
        {"", {kDefaultReason, kDefaultReason, kDefaultReason, kDefaultReason, kDefaultReason}},
        {"a\r\n\r\nb\r\n", {"a", kDefaultReason, "b", "a", kDefaultReason}},
    };
    for (const auto& c : cases) {
        sim::SimPlatform sim;
        sim.SetProgramFolder(kFolder);
        sim.SetFileBytes(kReasonsFile, c.file);
        Program program(sim);
        ASSERT_TRUE(program.Start());
        Texts said;
        for (int i = 0; i < 5; ++i) {
            program.idle.Timer1_Timer();
            said.push_back(program.form1.lblReason);
        }
        EXPECT_EQ(said, c.said) << c.file;
    }
}

TEST_F(Tick, ReasonLinesCarryTheReasonAPauseAfterTheClock) {
    Start("", "a\r\n");
    IdleOn();
    RecordEnters();
    Minutes(1);
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Reason("a")}));
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_GE(enters[1] - enters[0], 0.4);
}

// Without a room the lines are lost, not repeated later, but the clock,
// the total, the counter and the reason advance.
TEST_F(Tick, WithoutARoomEverythingButTheLinesAdvances) {
    Start("", "a\r\nb\r\nc\r\n");
    client.DestroyWindow(room);
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2 + " " + Stored("minute") + " " + form.lblInterval2, "0d : 0h : 1m 1 0");
    client.OpenRoom("Lobby");
    Minutes(1);
    EXPECT_EQ(Lines(), (Texts{Clock("0", "0", "2"), Reason("b")}));
}

// "idle off" in the pause after the clock line does not stop the
// announcement under way; its counter reset stands.
TEST_F(Tick, IdleOffInThePauseAfterTheClockLineLetsTheReasonLineFollow) {
    Start("", "a\r\n");
    IdleOn();
    sim.Schedule(60.2, [&] { Choose({"idle options", "idle off"}); });
    Minutes(2);
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Said("idle off"), Reason("a")}));
    EXPECT_EQ(form.lblInterval2 + " " + form.Label2, "0 0d : 0h : 0m");
}

// A tick whose lines take more than a minute is not overtaken by the next
// one: each tick that ran is counted once.
TEST_F(Tick, NoTickStartsWhileTheLastOneIsStillPosting) {
    Start();
    IdleOn();
    bool slowed = false;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op != sim::Op::Send || h != client.RoomInput(room) || slowed) return;
        slowed = true;
        sim.RunFor(70);  // the next minute falls due while the client takes its time
    });
    Minutes(2);
    EXPECT_EQ(form.Label2 + " " + Stored("minute"), "0d : 0h : 1m 1");
    Minutes(1);
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Reason(kDefaultReason), Clock("0", "0", "2"),
                              Reason(kDefaultReason)}));
    EXPECT_EQ(Stored("minute"), "2");
}

TEST_F(Tick, AWeekOfIdlingIsStoredToTheMinute) {
    Start("[interval]\r\ninterval=60\r\n[stats]\r\nday=2\r\nhour=23\r\nminute=59\r\n", "brb\r\neating\r\n");
    IdleOn();
    Minutes(7 * 24 * 60);
    EXPECT_EQ(Stored("day") + " " + Stored("hour") + " " + Stored("minute"), "9 23 59");
    EXPECT_EQ(form.Label2, "7d : 0h : 0m");
    EXPECT_EQ(Lines().size(), 1u + 2 * 7 * 24);
    EXPECT_EQ(Lines()[Lines().size() - 2], Clock("7", "0", "0"));
    EXPECT_EQ(Lines().back(), Reason("eating"));
}

}  // namespace
}  // namespace qm::testing
