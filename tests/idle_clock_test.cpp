// The idle tick: the clock of this run, the stored total of all runs, the
// announcement counter and the idle announcement with its rotating reasons.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

using Tick = Idling;

TEST_F(Tick, ClockCarriesMinutesIntoHoursBeforeItIsShown) {
    Start();
    form.lblMins = "59";
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 1h : 0m");
    EXPECT_EQ(form.lblMins, "0");
    EXPECT_EQ(form.lblHrs, "1");
}

TEST_F(Tick, ClockCarriesTheLastMinuteOfADayIntoTheDay) {
    Start();
    form.lblHrs = "23";
    form.lblMins = "59";
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "1d : 0h : 0m");
    EXPECT_EQ(Lines().at(1), Clock("1", "0", "0"));
}

// The hour is looked at on every tick, not only after a carry.
TEST_F(Tick, HourOfTwentyFourCarriesOnAnyTick) {
    Start();
    form.lblDay = "3";
    form.lblHrs = "24";
    form.lblMins = "10";
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "4d : 0h : 11m");
}

// Only the plain texts "60" and "24" carry.
TEST_F(Tick, ClockPastOrBesideItsLimitsCountsOnWithoutCarrying) {
    Start();
    form.lblHrs = "024";
    form.lblMins = "75";
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 024h : 76m");
}

TEST_F(Tick, ClockLabelThatIsNoNumberKeepsItsTextAndTheTickGoesOn) {
    Start("[stats]\r\nminute=4\r\n");
    form.lblMins = "abc";
    form.lblHrs = "23";
    form.lblDay = "x";
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "xd : 23h : abcm");
    EXPECT_EQ(Stored("minute"), "5");
    EXPECT_EQ(Lines(), (std::vector<std::string>{Said("idle on<font color=#000000> \xB7 interval: <font "
                                                      "color=#0000ff>1"),
                                                 Clock("x", "23", "abc"), Reason(kDefaultReason)}));
}

TEST_F(Tick, StoredTotalCarriesIntoTheDay) {
    Start("[stats]\r\nminute=59\r\nhour=23\r\nday=4\r\n");
    IdleOn();
    Minutes(1);
    EXPECT_EQ(Stored("minute"), "0");
    EXPECT_EQ(Stored("hour"), "0");
    EXPECT_EQ(Stored("day"), "5");
}

TEST_F(Tick, StoredTotalIsCreatedWithEmptyHourAndDay) {
    Start();
    IdleOn();
    Minutes(1);
    const std::string file = sim.FileBytes(kSettings).value();
    EXPECT_NE(file.find("[stats]\r\nMINUTE=1\r\nHOUR=\r\nDAY=\r\n"), std::string::npos) << file;
    // An empty hour counts as 0 at its next carry.
    WriteSetting(sim, "stats", "minute", "59", kSettings);
    Minutes(1);
    EXPECT_EQ(Stored("minute"), "0");
    EXPECT_EQ(Stored("hour"), "1");
    EXPECT_EQ(Stored("day"), "");
}

// The minute is written back normalised every tick; hour and day only
// change when they carry.
TEST_F(Tick, StoredMinuteIsNormalisedHourAndDayKeptAsRead) {
    Start("[stats]\r\nminute= 07x\r\nhour=030\r\nday=2.50\r\n");
    IdleOn();
    Minutes(1);
    EXPECT_EQ(Stored("minute"), "8");
    EXPECT_EQ(Stored("hour"), "030");
    EXPECT_EQ(Stored("day"), "2.50");
}

TEST_F(Tick, StoredTotalAndClockAreSeparateCounters) {
    Start("[stats]\r\nminute=30\r\nhour=2\r\nday=1\r\n");
    IdleOn();
    Minutes(3);
    EXPECT_EQ(form.Label2, "0d : 0h : 3m");
    EXPECT_EQ(Stored("minute"), "33");
    EXPECT_EQ(Stored("hour"), "2");
}

// A settings file that cannot be read would read as a total of 0; the
// total must not be overwritten with it.
TEST_F(Tick, UnreadableSettingsFileKeepsItsTotal) {
    Start("[stats]\r\nminute=30\r\nhour=2\r\nday=1\r\n");
    const std::string before = sim.FileBytes(kSettings).value();
    sim.SetFileFlags(kSettings, {.unreadable = true});
    IdleOn();
    Minutes(2);
    EXPECT_EQ(sim.FileBytes(kSettings), before);
    EXPECT_EQ(form.Label2, "0d : 0h : 2m");
    EXPECT_EQ(Lines().size(), 5u);  // idle on, then two announcements
}

TEST_F(Tick, IntervalOfOneAnnouncesEveryTickIntervalOfThreeEveryThird) {
    Start("[interval]\r\ninterval=3\r\n");
    IdleOn();
    std::vector<std::size_t> counts;
    for (int tick = 1; tick <= 9; ++tick) {
        Minutes(1);
        counts.push_back(Lines().size() - 1);
    }
    EXPECT_EQ(counts, (std::vector<std::size_t>{0, 0, 2, 2, 2, 4, 4, 4, 6}));
    EXPECT_EQ(Lines().at(3), Clock("0", "0", "6"));
    EXPECT_EQ(form.lblInterval2, "0");

    form.lblInterval = "1";
    Minutes(2);
    EXPECT_EQ(Lines().size() - 1, 10u);
}

// Typed as "05" or "1.9", the interval counts by its whole minutes; it is
// still shown as typed.
TEST_F(Tick, IntervalInAnotherFormCountsByItsWholeMinutes) {
    Start("[interval]\r\ninterval=05\r\n");
    IdleOn();
    Minutes(4);
    EXPECT_EQ(Lines().size(), 1u);
    Minutes(1);
    EXPECT_EQ(Lines().size(), 3u);
    EXPECT_EQ(form.lblInterval2, "0");

    form.lblInterval = "1.9";
    Minutes(2);
    EXPECT_EQ(Lines().size(), 7u);
    EXPECT_EQ(menus.Item("interval").caption, "interval: 05");
}

TEST_F(Tick, IntervalThatIsNoNumberNeverAnnounces) {
    Start("[interval]\r\ninterval=abc\r\n");
    IdleOn();
    Minutes(5);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_EQ(form.lblInterval2, "5");
    EXPECT_EQ(form.Label2, "0d : 0h : 5m");
}

TEST_F(Tick, IntervalLoweredPastTheCounterWaitsForAReset) {
    Start("[interval]\r\ninterval=10\r\n");
    IdleOn();
    Minutes(5);
    form.lblInterval = "3";
    Minutes(10);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_EQ(form.lblInterval2, "15");
    Choose({"idle options", "idle pause"});
    Choose({"idle options", "idle unpause"});
    Minutes(3);
    EXPECT_EQ(Lines().size(), 5u);
    EXPECT_EQ(Lines().at(3), Clock("0", "0", "18"));
}

TEST_F(Tick, ReasonsRotateInListOrderAndWrap) {
    Reasons("a\r\nb\r\nc\r\n");
    Start();
    IdleOn();
    Minutes(4);
    EXPECT_EQ(Lines(), (std::vector<std::string>{Lines()[0], Clock("0", "0", "1"), Reason("a"), Clock("0", "0", "2"),
                                                 Reason("b"), Clock("0", "0", "3"), Reason("c"),
                                                 Clock("0", "0", "4"), Reason("a")}));
}

// Each announcement first goes back to the first entry of the text shown.
TEST_F(Tick, DuplicateReasonSendsTheRotationBackToItsFirstPlace) {
    Reasons("a\r\nb\r\na\r\nc\r\n");
    Start();
    IdleOn();
    Minutes(5);
    EXPECT_EQ(form.lblReason, "a");
    std::vector<std::string> reasons;
    for (std::size_t i = 2; i < Lines().size(); i += 2) reasons.push_back(Lines()[i]);
    EXPECT_EQ(reasons, (std::vector<std::string>{Reason("a"), Reason("b"), Reason("a"), Reason("b"), Reason("a")}));
}

TEST_F(Tick, ReasonsMatchWithLetterCase) {
    Reasons("brb\r\nBRB\r\n");
    Start();
    IdleOn();
    Minutes(3);
    EXPECT_EQ(Lines().at(2), Reason("brb"));
    EXPECT_EQ(Lines().at(4), Reason("BRB"));
    EXPECT_EQ(Lines().at(6), Reason("brb"));
}

TEST_F(Tick, EmptyListGivesTheDefaultReasonEveryTime) {
    Start();
    IdleOn();
    Minutes(2);
    EXPECT_EQ(Lines().at(2), Reason("visit: www.quillmoor.example"));
    EXPECT_EQ(Lines().at(4), Reason("visit: www.quillmoor.example"));
    EXPECT_EQ(form.List1.ListIndex(), -1);
}

// A blank line of the file gives the default reason; the rotation then goes
// on after the blank entry.
TEST_F(Tick, EmptyEntryGivesTheDefaultReasonAndTheRotationGoesOn) {
    Reasons("a\r\n\r\nb\r\n");
    Start();
    IdleOn();
    Minutes(5);
    std::vector<std::string> reasons;
    for (std::size_t i = 2; i < Lines().size(); i += 2) reasons.push_back(Lines()[i]);
    EXPECT_EQ(reasons, (std::vector<std::string>{Reason("a"), Reason(kDefaultReason), Reason("b"), Reason("a"),
                                                 Reason(kDefaultReason)}));
}

TEST_F(Tick, ShownReasonNoLongerInTheListRestartsAfterDoneEdit) {
    Reasons("a\r\nb\r\nc\r\n");
    Start();
    IdleOn();
    Minutes(2);  // a, b
    form.List1.Clear();
    for (const char* r : {"x", "y"}) form.List1.AddItem(r);
    Minutes(2);
    EXPECT_EQ(Lines().at(6), Reason("x"));
    EXPECT_EQ(Lines().at(8), Reason("y"));
}

// The worked example: decoration 1 "~" in arial, colour 1 and the
// decoration's colour 000000, colour 2 0000ff, 0 days 2 hours 5 minutes.
TEST_F(Tick, ClockLineIsTheWorkedExample) {
    Start();
    form.lblAscii1 = "~";
    form.lblAscii1Font = form.lblFont = "arial";
    form.lblAscii1Color = "000000";
    form.lblHrs = "2";
    form.lblMins = "4";
    IdleOn();
    Minutes(1);
    EXPECT_EQ(Lines().at(1), "</b></u></i></s><font face=\"arial\" color=#000000>~ <font face=\"arial\" "
                             "color=#000000>quillmoor idle \xB7 <font color=#0000ff>0<font color=#000000>d : <font "
                             "color=#0000ff>2<font color=#000000>h : <font color=#0000ff>5<font color=#000000>m");
}

TEST_F(Tick, ReasonLineFollowsTheClockLineAfterAPause) {
    Start();
    IdleOn();
    std::vector<double> enters;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
    });
    Minutes(1);
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_GE(enters[1] - enters[0], 0.4);
    EXPECT_LT(enters[1] - enters[0], 1.0);
}

TEST_F(Tick, WithoutARoomTheLinesAreLostButEverythingAdvances) {
    Reasons("a\r\nb\r\nc\r\n");
    Start();
    client.DestroyWindow(room);
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 0h : 1m");
    EXPECT_EQ(form.lblReason, "a");
    EXPECT_EQ(form.lblInterval2, "0");
    EXPECT_EQ(Stored("minute"), "1");
    client.OpenRoom("Lobby");
    Minutes(1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{Clock("0", "0", "2"), Reason("b")}));
}

// Choosing "idle off" in the pause after the clock line does not stop the
// announcement under way; its counter reset stands.
TEST_F(Tick, IdleOffInThePauseAfterTheClockLineLetsTheReasonLineFollow) {
    Reasons("a\r\n");
    Start();
    IdleOn();
    sim.Schedule(60.2, [&] { Choose({"idle options", "idle off"}); });
    Minutes(2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{Lines()[0], Clock("0", "0", "1"), Said("idle off"), Reason("a")}));
    EXPECT_EQ(form.lblInterval2, "0");
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
    EXPECT_FALSE(form.Timer1.Enabled());
}

// A tick whose lines take longer than a minute is not overtaken by the
// next one: each minute that ticked is counted once.
TEST_F(Tick, NoTickStartsWhileTheLastOneIsStillPosting) {
    Start();
    IdleOn();
    bool slowed = false;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op != sim::Op::Send || h != client.RoomInput(room) || slowed) return;
        slowed = true;
        sim.RunFor(70);  // the client takes its time; the next minute falls due meanwhile
    });
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 0h : 1m");
    EXPECT_EQ(Stored("minute"), "1");
    EXPECT_EQ(Lines().size(), 3u);
    Minutes(1);
    EXPECT_EQ(form.Label2, "0d : 0h : 2m");
    EXPECT_EQ(Stored("minute"), "2");
    EXPECT_EQ(Lines(), (std::vector<std::string>{Lines()[0], Clock("0", "0", "1"), Reason(kDefaultReason),
                                                 Clock("0", "0", "2"), Reason(kDefaultReason)}));
}

TEST_F(Tick, AWeekOfIdlingIsStoredToTheMinute) {
    Reasons("brb\r\neating\r\n");
    Start("[interval]\r\ninterval=60\r\n[stats]\r\nday=2\r\nhour=23\r\nminute=59\r\n");
    IdleOn();
    Minutes(7 * 24 * 60);
    EXPECT_EQ(Stored("day"), "9");
    EXPECT_EQ(Stored("hour"), "23");
    EXPECT_EQ(Stored("minute"), "59");
    EXPECT_EQ(form.Label2, "7d : 0h : 0m");
    EXPECT_EQ(Lines().size(), 1u + 2 * 7 * 24);
    EXPECT_EQ(Lines().back(), Reason("eating"));
    EXPECT_EQ(Lines()[Lines().size() - 2], Clock("7", "0", "0"));
}

}  // namespace
}  // namespace qm::testing
