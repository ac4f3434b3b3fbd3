// The idle engine: the tick, the commands that drive it, brag and exit.
#include <gtest/gtest.h>

#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

class Idle : public Running {
protected:
    // Timer1, idle on, idle off, idle pause, and the pause item's caption.
    std::string State() {
        auto flag = [](bool on) { return on ? "+" : "-"; };
        return std::string(flag(form.Timer1.Enabled())) + flag(menus.Item("idleon").enabled) +
               flag(menus.Item("idleoff").enabled) + flag(menus.Item("idlepause").enabled) + " " +
               menus.Item("idlepause").caption;
    }
    static std::string Exit1() { return Head(1) + "quillmoor idle \xB7 exit: <font color=#0000ff>joe"; }
    static std::string Exit2(const std::string& d, const std::string& h, const std::string& m) {
        return Head(2) + "aol: <font color=#0000ff>8.0<font color=#000000> \xB7 stats: " + Dhm(d, h, m);
    }
    const std::string kOff = "-+-- idle pause", kOn = "+-++ idle pause", kPaused = "--++ idle unpause";
};

// Only the plain texts "60" and "24" carry, the hour on any tick; the display
// and the line are made after both; a label that is no number keeps its text.
TEST_F(Idle, ClockCarriesOnlyAtItsPlainLimits) {
    Start();
    const struct {
        const char *day, *hrs, *mins, *shown;
    } cases[] = {
        {"0", "0", "59", "0d : 1h : 0m"},      {"0", "23", "59", "1d : 0h : 0m"},   {"3", "24", "10", "4d : 0h : 11m"},
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

// Hour and day are written back as read unless they carry; an unreadable
// file would read as 0, so it is left alone.
TEST_F(Idle, StoredTotalCarriesAndKeepsWhatDoesNotCarry) {
    const struct {
        const char *stats, *minute, *hour, *day;
    } cases[] = {
        {"minute=59\r\nhour=23\r\nday=4", "0", "0", "5"}, {"", "1", "", ""}, {"minute=59", "0", "1", ""},
        {"minute= 07x\r\nhour=030\r\nday=2.50", "8", "030", "2.50"},      {"minute=75\r\nhour=24", "76", "0", "1"},
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
    sim.SetFileFlags(kSettings, {.unreadable = true});
    program.idle.Timer1_Timer();
    EXPECT_EQ(sim.FileBytes(kSettings), "[stats]\r\nMINUTE=1\r\nHOUR=\r\nDAY=\r\n");
    EXPECT_EQ(form.lblInterval2, "8");
}

// By the whole minutes of the label; what is no number never comes round.
TEST_F(Idle, AnnouncementComesEveryIntervalOfTicks) {
    Start("[interval]\r\ninterval=3\r\n");
    IdleOn();
    const struct {
        const char* interval;
        int ticks;
        const char* lines;  // how many lines are posted so far, tick by tick
    } stages[] = {{"3", 9, "113335557"}, {"1", 2, "9B"}, {"05", 5, "BBBBD"}, {"1.9", 2, "FH"}, {"abc", 5, "HHHHH"}};
    for (const auto& stage : stages) {
        form.lblInterval = stage.interval;
        std::string seen;
        for (int tick = 0; tick < stage.ticks; ++tick) Minutes(1), seen += "0123456789ABCDEFGHIJ"[Lines().size()];
        EXPECT_EQ(seen, stage.lines) << stage.interval;
    }
    EXPECT_EQ(Lines().at(3), Clock("0", "0", "6"));
    EXPECT_EQ(form.lblInterval2, "5");
}

// A duplicate sends the rotation back to its first place; an empty entry
// gives the default reason.
TEST(IdleReasons, Rotate) {
    const struct {
        const char* file;
        Texts said;
    } cases[] = {
        {"a\r\nb\r\nc\r\n", {"a", "b", "c", "a", "b"}},
        {"a\r\nb\r\na\r\nc\r\n", {"a", "b", "a", "b", "a"}},
        {"brb\r\nBRB\r\n", {"brb", "BRB", "brb", "BRB", "brb"}},
        {"", Texts(5, kDefaultReason)},
        {"a\r\n\r\nb\r\n", {"a", kDefaultReason, "b", "a", kDefaultReason}},
    };
    for (const auto& c : cases) {
        World w;
        w.Launch(std::nullopt, c.file);
        Texts said;
        for (int i = 0; i < 5; ++i) w.program.idle.Timer1_Timer(), said.push_back(w.form.lblReason);
        EXPECT_EQ(said, c.said) << c.file;
    }
}

// Lines without a room are lost, not repeated later, and the tick still
// counts; no tick starts while the last one is still posting.
TEST_F(Idle, LinesGoOutAPauseApartOrAreLostWithoutARoomAndTicksNeverOverlap) {
    Start("", "a\r\nb\r\nc\r\n");
    client.DestroyWindow(room);
    IdleOn();
    Minutes(1);
    EXPECT_EQ(form.Label2 + " " + Stored("minute") + " " + form.lblInterval2, "0d : 0h : 1m 1 0");
    room = client.OpenRoom("Lobby");
    RecordEnters();
    Minutes(1);
    EXPECT_EQ(Lines(), (Texts{Clock("0", "0", "2"), Reason("b")}));
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_GE(enters[1] - enters[0], 0.4);
    sim.AtNth(sim::Op::Send, 1, [this] { sim.RunFor(70); }, client.RoomInput(room));
    Minutes(2);
    EXPECT_EQ(form.Label2 + " " + Stored("minute"), "0d : 0h : 3m 3");
    // The tick that fell due while the slow one still posted was skipped; its
    // minute is counted by the next.
    Minutes(1);
    EXPECT_EQ(Lines(), (Texts{Clock("0", "0", "2"), Reason("b"), Clock("0", "0", "3"), Reason("c"),
                              Clock("0", "0", "5"), Reason("a")}));
    EXPECT_EQ(Stored("minute"), "5");
}

// A tick held up (here by a nested wait, as a prompt left open inside its
// pause holds it) skips the ticks that fall due meanwhile.  Their minutes
// still count: at the next tick, or when idling is paused or switched off.
TEST_F(Idle, MinutesOfSkippedTicksStillCount) {
    Start("[stats]\r\nminute=58\r\n", "a\r\n");
    IdleOn();
    auto holdUp = [this](double seconds, std::function<void()> then = {}) {
        sim.Schedule(60.2, [this, seconds, then] {
            sim.RunFor(seconds);
            if (then) then();
        });
    };
    holdUp(150);  // from the first tick on, two ticks fall due meanwhile
    Minutes(4);
    EXPECT_EQ(form.Label2, "0d : 0h : 4m");
    EXPECT_EQ(Stored("hour") + ":" + Stored("minute"), "1:2");
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Reason("a"), Clock("0", "0", "4"), Reason("a")}));
    holdUp(100, [this] { Choose({"idle options", "idle pause"}); });
    Minutes(5);
    EXPECT_EQ(form.Label2, "0d : 0h : 6m");
    EXPECT_EQ(Stored("hour") + ":" + Stored("minute"), "1:4");
    Choose({"idle options", "idle unpause"});
    holdUp(100, [this] { Choose({"idle options", "idle off"}); });
    Minutes(3);
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
    EXPECT_EQ(Stored("hour") + ":" + Stored("minute"), "1:6");
    Minutes(3);
    EXPECT_EQ(Stored("hour") + ":" + Stored("minute"), "1:6");
    // Paused time is no idling, whatever ends it.
    IdleOn();
    Minutes(2);
    Choose({"idle options", "idle pause"});
    Minutes(10);
    Choose({"idle options", "idle off"});
    EXPECT_EQ(Stored("hour") + ":" + Stored("minute"), "1:8");
}

// The system's timer and the monotonic clock tick apart: a tick a little
// early still stands for its minute, and one that follows a skipped tick for
// both; what a late one is over a minute is not lost.
TEST_F(Idle, TicksALittleEarlyOrLateCountTheMinutesTheyStandFor) {
    Start();
    const double start = sim.Now();
    for (const double at : {0.0, 119.5, 179.0, 239.5, 359.6, 449.6, 539.6}) {
        sim.RunFor(start + at - sim.Now());
        program.idle.Timer1_Timer();
    }
    EXPECT_EQ(form.Label2, "0d : 0h : 10m");
    EXPECT_EQ(Stored("minute"), "10");
}

// The client hangs with documents open: no tick holds the program for its
// minute, and an hour of idling is an hour.
TEST(IdleHungClient, CostsTheClockNothing) {
    auto hung = [](World& w) {
        w.Client();
        for (int i = 0; i < 50; ++i) w.client.OpenDocument("Document " + std::to_string(i), aolsim::DocumentParts{});
        w.client.StartDownload("a.zip", 5, aolsim::Client::RemainingText(2));
        w.Launch(kDecorations + "[insert]\r\nDL/UL=yes\r\n[stats]\r\nminute=0\r\n");
        w.client.SetHung(true);
    };
    World one;
    hung(one);
    const double start = one.sim.Now();
    one.program.idle.Timer1_Timer();
    EXPECT_LT(one.sim.Now() - start, 60.0);
    World hour;
    hung(hour);
    hour.IdleOn();
    hour.Minutes(60);
    EXPECT_EQ(hour.form.Label2, "0d : 1h : 0m");
    EXPECT_EQ(hour.Stored("hour") + ":" + hour.Stored("minute"), "1:0");
}

// 7.0 shows no upload; a dialog in front hides it.
std::string TransferLine(const std::string& file, const std::string& percent, const std::string& left) {
    return Head(3) + "file: <font color=#0000ff>" + file + "<font color=#000000> \xB7 <font color=#0000ff>" + percent +
           "<font color=#000000>% \xB7 <font color=#0000ff>" + left + "<font color=#000000>ml";
}

TEST(IdleTransfers, LinesFollowTheClientVersionAndTheTransfersShown) {
    const std::string down = TransferLine("report.zip", "45", "3"), up = TransferLine("a.txt", "7", "0");
    const struct {
        const char* version;
        bool insert, download, upload, dialogInFront;
        Texts said;
    } cases[] = {
        {"8.0", true, true, true, false, {down, up}}, {"8.0", true, false, true, false, {up}},
        {"8.0", true, false, false, false, {}},       {"8.0", false, true, true, false, {}},
        {"7.0", true, true, true, false, {down}},     {"7.0", true, false, true, false, {}},
        {"5.0", true, true, false, false, {down}},    {"8.0", true, true, true, true, {down}},
        {"8.0", true, false, true, true, {}},
    };
    for (const auto& c : cases) {
        World w;
        w.Client(c.version);
        if (c.download) w.client.StartDownload("Report.ZIP", 45, aolsim::Client::RemainingText(3));
        if (c.upload) w.client.StartUpload("A.TXT", 7, aolsim::Client::RemainingText(0));
        if (c.dialogInFront) w.client.ShowOtherModal("Send Instant Message");
        w.Launch(kDecorations + "[insert]\r\nDL/UL=" + (c.insert ? "yes" : "no") + "\r\n");
        const double start = w.sim.Now();
        w.program.idle.Timer1_Timer();
        const Texts lines = w.Lines();
        ASSERT_GE(lines.size(), 2u);  // the clock and reason lines
        EXPECT_EQ(Texts(lines.begin() + 2, lines.end()), c.said)
            << c.version << " insert " << c.insert << " dl " << c.download << " ul " << c.upload << " dialog "
            << c.dialogInFront;
        // Two pauses of 0.4 s, none between or after the transfer lines.
        EXPECT_LT(w.sim.Now() - start, c.dialogInFront ? 1e9 : 1.0);
    }
}

// Where the client's menus cannot be read, the user's setting tells 7.0; the
// window a lost connection leaves ("File Transfer Status") is no transfer.
TEST(IdleTransfers, TheVersionSettingAndALeftoverWindow) {
    for (const char* setting : {"7.0", "8.0"}) {
        World w;
        w.Client("7.0");
        w.sim.SetMenusUnreadable(true);
        w.client.StartDownload("Report.ZIP", 45, aolsim::Client::RemainingText(3));
        w.client.StartUpload("A.TXT", 7, aolsim::Client::RemainingText(0));
        w.Launch(kDecorations + "[insert]\r\nDL/UL=yes\r\n[aol]\r\nVERSION=" + setting + "\r\n");
        w.program.idle.Timer1_Timer();
        Texts said = {Clock("0", "0", "1"), Reason(kDefaultReason), TransferLine("report.zip", "45", "3")};
        if (std::string(setting) == "8.0") said.push_back(TransferLine("a.txt", "7", "0"));
        EXPECT_EQ(w.Lines(), said) << setting;
    }
    World w;
    w.Client("8.0");
    w.client.Disconnect(aolsim::Leftovers{true, true});
    w.client.SignOn("Joe");
    w.room = w.client.OpenRoom("Lobby");
    w.client.SetDocumentOrder({w.client.FindDocument("File Transfer Status")});
    w.Launch(kDecorations + "[insert]\r\nDL/UL=yes\r\n");
    w.program.idle.Timer1_Timer();
    EXPECT_EQ(w.Lines(), (Texts{Clock("0", "0", "1"), Reason(kDefaultReason)}));
}

// 0.4 s after the clock line, 0.4 s after the reason line, then the transfer
// lines without a pause between or after them.
TEST(IdleTransfers, LinesGoOutTheirPausesApart) {
    World w;
    w.Client("8.0");
    w.client.StartDownload("Report.ZIP", 45, aolsim::Client::RemainingText(3));
    w.client.StartUpload("A.TXT", 7, aolsim::Client::RemainingText(0));
    w.Launch(kDecorations + "[insert]\r\nDL/UL=yes\r\n");
    w.RecordEnters();
    const double start = w.sim.Now();
    w.program.idle.Timer1_Timer();
    const double end = w.sim.Now();
    ASSERT_EQ(w.enters.size(), 4u);
    const std::vector<double> spacing = {w.enters[0] - start, w.enters[1] - w.enters[0], w.enters[2] - w.enters[1],
                                         w.enters[3] - w.enters[2], end - w.enters[3]};
    const std::vector<double> expected = {0, 0.4, 0.4, 0, 0};
    for (std::size_t i = 0; i < spacing.size(); ++i) EXPECT_NEAR(spacing[i], expected[i], 2e-6) << i;
}

// Off resets this run's clock and the counter, not the stored total; off in
// the pause after the clock line lets the reason line follow.
// A week without a break: every carry of the clock and of the stored total,
// one announcement an hour.
TEST_F(Idle, AWeekOfIdlingIsStoredToTheMinute) {
    Start("[interval]\r\ninterval=60\r\n[stats]\r\nday=2\r\nhour=23\r\nminute=59\r\n", "brb\r\neating\r\n");
    IdleOn();
    Minutes(7 * 24 * 60);
    EXPECT_EQ(Stored("day") + " " + Stored("hour") + " " + Stored("minute"), "9 23 59");
    EXPECT_EQ(form.Label2, "7d : 0h : 0m");
    const Texts lines = Lines();
    EXPECT_EQ(lines.size(), 1u + 2 * 7 * 24);
    EXPECT_EQ(Texts(lines.end() - 2, lines.end()), (Texts{Clock("7", "0", "0"), Reason("eating")}));
}

TEST_F(Idle, EveryStateAndTransition) {
    Start("", "a\r\n");
    EXPECT_EQ(State(), kOff);
    const struct {
        const char* command;
        const std::string& state;
    } steps[] = {{"idle pause", kOff},  {"idle off", kOff}, {"idle on", kOn},  {"idle pause", kPaused},
                 {"idle unpause", kOn}, {"idle off", kOff}, {"idle on", kOn},  {"idle pause", kPaused},
                 {"idle off", kOff}};
    for (const auto& step : steps) {
        Choose({"idle options", step.command});
        EXPECT_EQ(State(), step.state) << step.command;
    }
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Said("idle paused"), Said("idle unpaused"), Said("idle off"), kIdleOn1,
                              Said("idle paused"), Said("idle off")}));
    Minutes(5);
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
    IdleOn();
    Minutes(3 * 60);
    Choose({"idle options", "idle off"});
    EXPECT_EQ(form.Label2 + " " + form.lblDay + form.lblHrs + form.lblMins + form.lblInterval2, "0d : 0h : 0m 0000");
    EXPECT_EQ(Stored("hour") + " " + Stored("minute"), "3 0");
    entryLines += Lines().size();
    IdleOn();
    sim.Schedule(60.2, [&] { Choose({"idle options", "idle off"}); });
    Minutes(2);
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Said("idle off"), Reason("a")}));
    EXPECT_EQ(form.lblInterval2 + " " + form.Label2, "0 0d : 0h : 0m");
}

// A new interval below the counter is met at the next tick.
TEST_F(Idle, PauseAndANewIntervalBelowTheCounter) {
    Start("[interval]\r\ninterval=3\r\n", "a\r\nb\r\n");
    IdleOn();
    Minutes(2);
    Choose({"idle options", "idle pause"});
    EXPECT_EQ(form.lblInterval2, "0");
    Minutes(5);
    EXPECT_EQ(form.Label2, "0d : 0h : 2m");
    Choose({"idle options", "idle unpause"});
    Minutes(2);
    EXPECT_EQ(Lines().size(), 3u);
    Minutes(1);
    entryLines += 3;
    EXPECT_EQ(Lines(), (Texts{Clock("0", "0", "5"), Reason("a")}));
    Minutes(2);
    Answer("interval", "10");
    Minutes(5);
    EXPECT_EQ(form.lblInterval2, "7");
    Answer("interval", "3");
    Minutes(1);
    EXPECT_EQ(form.lblInterval2, "0");
    Minutes(3);
    const std::string set = Head(1) + "quillmoor idle \xB7 set idle interval: <font color=#0000ff>";
    EXPECT_EQ(Lines(), (Texts{Clock("0", "0", "5"), Reason("a"), set + "10", set + "3", Clock("0", "0", "13"),
                              Reason("b"), Clock("0", "0", "16"), Reason("a")}));
}

TEST_F(Idle, IntervalPromptTakesOnlyAPositiveNumber) {
    Start("[interval]\r\ninterval=4\r\n");
    const struct {
        std::optional<std::string> answer;
        bool accepted;
    } cases[] = {{"15", true},  {"", false},     {"abc", false}, {"05", true},  {"0", false},  {"0.5", false},
                 {" 5", true},  {"0.99", false}, {"-3", false},  {"1.9", true}, {"5x", false}, {"1e2", true},
                 {"1e999", false}, {std::nullopt, false}};
    std::string interval = "4";
    for (const auto& [answer, accepted] : cases) {
        const std::optional<std::string> file = sim.FileBytes(kSettings);
        const std::size_t lines = Lines().size();
        Answer("interval", answer);
        if (accepted) interval = *answer;
        EXPECT_EQ(form.lblInterval + "|" + menus.Item("interval").caption, interval + "|interval: " + interval);
        EXPECT_EQ(Lines().size(), lines + accepted) << answer.value_or("cancel");
        if (accepted) {
            EXPECT_NE(sim.FileBytes(kSettings)->find("[interval]\r\ninterval=" + interval + "\r\n"), std::string::npos);
            EXPECT_EQ(Lines().back(),
                      Head(1) + "quillmoor idle \xB7 set idle interval: <font color=#0000ff>" + interval);
        } else {
            EXPECT_EQ(sim.FileBytes(kSettings), file) << answer.value_or("cancel");
        }
    }
    EXPECT_EQ(Prompt(0), "set idle interval|enter a number as time interval.|");
    EXPECT_EQ(State(), kOff);
}

// A settings file that does not read (another program holds it) never has
// its total said as 0: brag and exit say the last total known with the
// minutes counted since, or, with none known, brag says nothing and the
// farewell only its first line.
TEST_F(Idle, BragAndExitNeverSayATotalTheyCouldNotRead) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nday=2\r\nhour=23\r\nminute=58\r\n");
    sim.SetFileFlags(kSettings, {.unreadable = true});
    Choose({"idle options", "brag idle stats"});
    EXPECT_EQ(Lines(), Texts{});
    sim.SetFileFlags(kSettings, {});
    IdleOn();
    Minutes(1);
    sim.SetFileFlags(kSettings, {.unreadable = true});
    Minutes(2);
    entryLines += Lines().size();
    Choose({"idle options", "brag idle stats"});
    EXPECT_EQ(Lines(), (Texts{Said("joe<font color=#000000>'s stats"), Head(2) + "total idled: " + Dhm("3", "0", "1")}));
    entryLines += Lines().size();
    Choose({"exit"});
    EXPECT_EQ(Lines(), (Texts{Exit1(), Exit2("3", "0", "1")}));
}

TEST_F(Idle, FarewellWithoutAKnownTotalIsItsFirstLine) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nday=2\r\n");
    sim.SetFileFlags(kSettings, {.breaksAfter = 10});
    Choose({"exit"});
    EXPECT_EQ(Lines(), Texts{Exit1()});
    EXPECT_TRUE(sim.QuitCalled());
}

// Both say the stored total as the file holds it, not this run's clock.
TEST_F(Idle, BragAndExitSayTheStoredTotalAsRead) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nhour=5\r\nminute=007\r\n");
    std::optional<std::string> file = sim.FileBytes(kSettings);
    RecordEnters();
    Choose({"idle options", "brag idle stats"});
    Choose({"idle options", "brag idle stats"});
    const std::string brag1 = Said("joe<font color=#000000>'s stats"),
                      brag2 = Head(2) + "total idled: " + Dhm("0", "5", "007");
    EXPECT_EQ(Lines(), (Texts{brag1, brag2, brag1, brag2}));
    EXPECT_GE(enters.at(1) - enters.at(0), 0.4);
    EXPECT_EQ(sim.FileBytes(kSettings), file);
    EXPECT_EQ(form.lblDay + form.lblHrs + form.lblMins, "000");
    IdleOn();
    Minutes(3);
    file = sim.FileBytes(kSettings);
    entryLines += Lines().size();
    enters.clear();
    Choose({"exit"});
    EXPECT_EQ(Lines(), (Texts{Exit1(), Exit2("0", "5", "10")}));
    EXPECT_GE(enters.at(1) - enters.at(0), 0.4);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_FALSE(form.Timer1.Enabled() || sim.Visible(form.Window()));
    EXPECT_EQ(sim.FileBytes(kSettings), file);
}

TEST_F(Idle, ExitWithoutStatsRoomOrWindowStillEnds) {
    Start("[handle]\r\nhandle=joe\r\n");
    Choose({"minimize"});
    sim.ScriptPopup({"exit"});
    sim.TrayMouse(tray::kRightButtonUp);
    EXPECT_EQ(Lines(), (Texts{Exit1(), Exit2("0", "0", "0")}));
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(sim.TrayCalls().back().op, TrayOp::Delete);
    World alone;
    alone.Launch(std::nullopt);
    alone.menus.Item("exit").Click();
    EXPECT_TRUE(alone.sim.QuitCalled());
}

// Exit chosen twice while the clock line is slow to go, a line queued behind
// the farewell: one farewell, all in order, the user's text back before the
// end.  No handle stored: the screen name, lower-cased.
TEST_F(Idle, ExitDuringAnotherSendLosesNoLineAndNoTypedText) {
    Start();
    client.TypeInRoom(room, "afk 5");
    IdleOn();
    aolsim::Delays delays = client.GetDelays();
    delays.chat = 1.0;
    client.SetDelays(delays);
    bool endedEarly = false;
    sim.Schedule(60.3, [&] { Choose({"exit"}); });
    sim.Schedule(60.4, [&] { Choose({"exit"}); });
    sim.Schedule(60.5, [&] { program.chat.SendChatLine("queued"); });
    sim.Schedule(60.9, [&] { endedEarly = sim.QuitCalled() || !program.chat.Busy(); });
    sim.RunFor(70);
    EXPECT_FALSE(endedEarly);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Exit1(), "queued", Exit2("0", "0", "1")}));
    EXPECT_EQ(client.InputText(room), "afk 5");
}

}  // namespace
}  // namespace qm::testing
