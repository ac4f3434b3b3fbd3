// The away log and automatic idle: which lines are new, which are for the
// user, the file beside the program, the window, the menu items and the
// settings, and automatic idle against the scripted last-input clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "away/log_file.h"
#include "away/mentions.h"
#include "away/transcript.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using away::NewLines;

const std::string kLog = kFolder + "\\quillmoor.log";

// ---- new lines -----------------------------------------------------------------------

TEST(AwayNewLines, GrowsShrinksAndIsReplaced) {
    const Texts before = {"a", "b", "c", "d"};
    EXPECT_EQ(NewLines(before, {"a", "b", "c", "d", "e", "f"}), (Texts{"e", "f"}));  // grew
    EXPECT_EQ(NewLines(before, {"a", "b", "c", "d"}), Texts{});                      // as it was
    EXPECT_EQ(NewLines(before, {"c", "d"}), Texts{});                                // the client trimmed it
    EXPECT_EQ(NewLines(before, {"c", "d", "e"}), Texts{"e"});                        // trimmed and grew
    EXPECT_EQ(NewLines(before, {"x", "y"}), (Texts{"x", "y"}));                      // replaced
    EXPECT_EQ(NewLines(before, {}), Texts{});                                        // emptied
    EXPECT_EQ(NewLines({}, {"x"}), Texts{"x"});                                      // was empty
}

// Repeated lines: the overlap is the longest, and where it is as long either
// way, the earliest, so that a line said again counts.
TEST(AwayNewLines, RepeatedLinesCountOnce) {
    EXPECT_EQ(NewLines({"lol", "lol"}, {"lol", "lol", "lol"}), Texts{"lol"});
    EXPECT_EQ(NewLines({"a", "b", "a", "b"}, {"a", "b", "a", "b", "x"}), Texts{"x"});
    EXPECT_EQ(NewLines({"a", "b", "lol"}, {"a", "b", "lol", "x", "lol"}), (Texts{"x", "lol"}));
    EXPECT_EQ(NewLines({"b", "a", "b"}, {"a", "b", "c"}), Texts{"c"});  // trimmed: "a b" ends what was read
}

TEST(AwayNewLines, SplitKeepsEmptyLinesButNoEmptyLast) {
    EXPECT_EQ(away::SplitLines("a\r\n\r\nb\r\n"), (Texts{"a", "", "b"}));
    EXPECT_EQ(away::SplitLines("a\rb\nc"), (Texts{"a", "b", "c"}));
    EXPECT_EQ(away::SplitLines(""), Texts{});
}

// ---- lines for the user ------------------------------------------------------------------

class AwayMentions : public ::testing::Test {
protected:
    void SetUp() override { m.SetNames({"Joe Blow", "jb"}); }
    away::Mentions m;
};

TEST_F(AwayMentions, WholeWordsInAnyCase) {
    for (const char* line : {"Kat:\tjoe blow are you there?", "Kat:\thi JOE BLOW", "Kat:\tJoe Blow!",
                             "Kat:\twhere is joeblow", "Kat:\tjb?", "Kat:\t(JB) said so", "Kat:\t\xE9jb jb"})
        EXPECT_TRUE(m.ForUser(line)) << line;
    for (const char* line : {"Kat:\tjoe blowfish", "Kat:\tajoe blow", "Kat:\tjbx", "Kat:\tjoe", "Kat:\tjoe  blow",
                             "Kat:\t\xE9jb", "Kat:\t"})
        EXPECT_FALSE(m.ForUser(line)) << line;
}

TEST_F(AwayMentions, AddressedLinesAndLinesWithoutASpeaker) {
    EXPECT_TRUE(m.ForUser("Kat:\tJB: brb"));
    EXPECT_TRUE(m.ForUser("Kat:\t  joe blow: hi"));
    EXPECT_TRUE(m.ForUser("OnlineHost: Joe Blow has entered the room."));
    EXPECT_FALSE(m.ForUser("OnlineHost: Kat has entered the room."));
}

// The user's own lines (screen name told apart as the client does: blanks
// and case do not count) and the lines we posted, as sent or as the client
// shows them, are never for the user.
TEST_F(AwayMentions, OwnLinesNeverCount) {
    EXPECT_FALSE(m.ForUser("Joe Blow:\tjb here"));
    EXPECT_FALSE(m.ForUser("JOEBLOW:\tjb here"));
    m.Posted("</b><font color=#000000>quillmoor idle \xB7 enter: <font color=#0000ff>jb");
    EXPECT_FALSE(m.ForUser("Someone:\t</b><font color=#000000>quillmoor idle \xB7 enter: <font color=#0000ff>jb"));
    EXPECT_FALSE(m.ForUser("Someone:\tquillmoor idle \xB7 enter: jb"));
    EXPECT_TRUE(m.ForUser("Kat:\tquillmoor idle \xB7 enter: jb said"));
}

TEST(AwayMentionsNames, NoNameMentionsNothing) {
    away::Mentions m;
    m.SetNames({"", " "});
    EXPECT_FALSE(m.ForUser("Kat:\t hi"));
    EXPECT_FALSE(m.ForUser(":\t"));
}

// ---- the log file --------------------------------------------------------------------------

class AwayLogFile : public ::testing::Test {
protected:
    AwayLogFile() { sim.SetProgramFolder(kFolder); }
    sim::SimPlatform sim;
};

TEST_F(AwayLogFile, AppendsAndEndsAnUnendedLastLine) {
    EXPECT_TRUE(away::AppendToLog(sim, kLog, "one\r\n"));
    EXPECT_TRUE(away::AppendToLog(sim, kLog, "two\r\n"));
    EXPECT_EQ(sim.FileBytes(kLog), "one\r\ntwo\r\n");
    sim.SetFileBytes(kLog, "edited");
    EXPECT_TRUE(away::AppendToLog(sim, kLog, "three\r\n"));
    EXPECT_EQ(sim.FileBytes(kLog), "edited\r\nthree\r\n");
}

// Past 1 MiB the oldest half goes, from a line's start; up to it nothing.
TEST_F(AwayLogFile, NeverPastOneMegabyte) {
    const std::string line(99, 'x');
    std::string full;
    while (full.size() + 101 <= away::kLogMostBytes) full += line + "\r\n";
    sim.SetFileBytes(kLog, full);
    const std::string fits(away::kLogMostBytes - full.size() - 2, 'y');
    ASSERT_TRUE(away::AppendToLog(sim, kLog, fits + "\r\n"));
    EXPECT_EQ(sim.FileBytes(kLog)->size(), away::kLogMostBytes);
    ASSERT_TRUE(away::AppendToLog(sim, kLog, "newest\r\n"));
    const std::string after = *sim.FileBytes(kLog);
    EXPECT_LE(after.size(), away::kLogMostBytes / 2);
    EXPECT_GT(after.size(), away::kLogMostBytes / 2 - 102);
    EXPECT_TRUE(after.starts_with(line + "\r\n") || after.starts_with(fits)) << after.substr(0, 20);
    EXPECT_TRUE(after.ends_with(fits + "\r\nnewest\r\n"));
}

// A write that fails, and a file that cannot be read or is not one of ours,
// leave the old file as it was.
TEST_F(AwayLogFile, WhatFailsKeepsTheOldFile) {
    sim.SetFileBytes(kLog, "old\r\n");
    sim.FailNth(sim::Op::WriteFile, 1);
    EXPECT_FALSE(away::AppendToLog(sim, kLog, "new\r\n"));
    EXPECT_EQ(sim.FileBytes(kLog), "old\r\n");
    sim.SetFileFlags(kLog, {.unreadable = true});
    EXPECT_FALSE(away::AppendToLog(sim, kLog, "new\r\n"));
    sim.SetFileFlags(kLog, {});
    const std::string huge(2 * away::kLogMostBytes, 'z');
    sim.SetFileBytes(kLog, huge);
    EXPECT_FALSE(away::AppendToLog(sim, kLog, "new\r\n"));
    EXPECT_EQ(sim.FileBytes(kLog), huge);
}

// ---- the program ---------------------------------------------------------------------------

class Away : public Running {
protected:
    // An 8.0 client signed on as Joe, the away log on.
    void StartLogging(const std::string& more = "") {
        sim.SetLocalStart({2026, 12, 7, 9, 0, 0});
        Start("[away]\r\nLOG=yes\r\n" + more);
    }
    void Say(const std::string& who, const std::string& text) { client.Say(room, who, text); }
    std::string Box(std::size_t i = 0) const {
        const sim::MessageBoxCall& b = sim.MessageBoxes().at(i);
        return b.title + "|" + b.text;
    }
    Texts KeptLines() const {
        Texts out;
        for (const away::Kept& k : program.away.KeptLines()) out.push_back(k.line);
        return out;
    }
    std::string LogBytes() const { return sim.FileBytes(kLog).value_or("<none>"); }
};

// Said before idling is not news; said while away, to Joe or naming him,
// by anyone but Joe, is kept, written and shown when idling ends, newest last.
TEST_F(Away, LinesForTheUserWhileIdlingReachTheWindowAndTheFile) {
    StartLogging();
    Say("Kat Nap", "joe was here earlier");
    IdleOn();
    Say("Kat Nap", "hi joe");
    Say("MrPeabody", "a/s/l?");
    Minutes(1);
    Say("SunnyDaze42", "JOE: wb?");
    Say("Joe", "joe talks to himself");
    Say("xXGamerXx", "joey is not joe... or is he");
    Minutes(2);
    EXPECT_EQ(KeptLines(), (Texts{"Kat Nap:\thi joe", "SunnyDaze42:\tJOE: wb?",
                                  "xXGamerXx:\tjoey is not joe... or is he"}));
    EXPECT_EQ(LogBytes(),
              "2026-12-07 09:01:00\tKat Nap:\thi joe\r\n"
              "2026-12-07 09:02:00\tSunnyDaze42:\tJOE: wb?\r\n"
              "2026-12-07 09:02:00\txXGamerXx:\tjoey is not joe... or is he\r\n");
    EXPECT_TRUE(sim.MessageBoxes().empty());
    Say("Kat Nap", "bye joe");
    Choose({"idle options", "idle off"});
    ASSERT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(Box(),
              "while you were away|09:01  Kat Nap: hi joe\r\n09:02  SunnyDaze42: JOE: wb?\r\n"
              "09:02  xXGamerXx: joey is not joe... or is he\r\n09:03  Kat Nap: bye joe");
    // Seen again from the menu at any time; a new time away starts afresh.
    Choose({"idle options", "show away log"});
    EXPECT_EQ(Box(1), Box(0));
    IdleOn();
    Choose({"idle options", "idle off"});
    EXPECT_EQ(sim.MessageBoxes().size(), 2u);  // nothing new: no window
    Choose({"idle options", "show away log"});
    EXPECT_EQ(Box(2), "while you were away|nothing was said to you since idling began.");
}

// Our announcements name the handle ("joe's stats", the entry line) and go
// out under the screen name; with the handle changed and the screen name
// unknown to a line, they are still told by their text.
TEST_F(Away, OwnAnnouncementsAreNeverLogged) {
    StartLogging("[interval]\r\nINTERVAL=1\r\n");
    IdleOn();
    Choose({"idle options", "brag idle stats"});
    Minutes(3);
    for (const std::string& line : client.Transcript("Lobby")) Say("Someone", line);
    Minutes(1);
    EXPECT_EQ(KeptLines(), Texts{});
    Choose({"idle options", "idle off"});
    EXPECT_TRUE(sim.MessageBoxes().empty());
    EXPECT_EQ(LogBytes(), "<none>");
}

// The log off: nothing is read, kept or written.
TEST_F(Away, OffByDefault) {
    Start();
    int reads = 0;
    sim.SetHook([&](sim::Op op, Hwnd) { reads += op == sim::Op::GetTextTail; });
    IdleOn();
    Say("Kat Nap", "hi joe");
    Minutes(2);
    Choose({"idle options", "idle off"});
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(sim.MessageBoxes().empty());
    EXPECT_EQ(LogBytes(), "<none>");
    EXPECT_EQ(menus.Item("awaylog").caption, "away log: off");
    EXPECT_EQ(menus.Item("autoidle").caption, "auto idle: off");
}

// The transcript shrinks (the client trims it), is replaced (another room),
// and grows to a megabyte: read from its end within 64 KiB, the input box
// never touched.
TEST_F(Away, TranscriptThatShrinksIsReplacedAndGrowsHuge) {
    StartLogging();
    Hwnd transcript = client.RoomTranscript(room);
    IdleOn();
    // Only the transcript is read, and only from its end.
    Texts touched;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::GetTextTail && h != transcript) touched.push_back("read " + sim.ClassOf(h));
        if (op == sim::Op::GetText && h == transcript) touched.push_back("whole read");
    });
    Say("Kat Nap", "joe 1");
    Minutes(1);
    // The client trims its oldest lines.
    const std::string text = sim.TextOf(transcript);
    sim.SetTextDirect(transcript, text.substr(text.find("Kat Nap:\tjoe 1")));
    Minutes(1);
    Say("Kat Nap", "joe 2");
    Minutes(1);
    EXPECT_EQ(KeptLines(), (Texts{"Kat Nap:\tjoe 1", "Kat Nap:\tjoe 2"}));

    // A megabyte, read before the client trims it (pausing reads first).
    std::string huge;
    while (huge.size() < (1u << 20)) huge += "MrPeabody:\ta/s/l?\r\n";
    sim.SetTextDirect(transcript, huge + "Kat Nap:\tjoe 3");
    Choose({"idle options", "idle pause"});
    Choose({"idle options", "idle unpause"});
    sim.SetTextDirect(transcript, sim.TextOf(transcript) + "\r\nKat Nap:\tjoe 4");
    Minutes(1);
    EXPECT_EQ(KeptLines(), (Texts{"Kat Nap:\tjoe 1", "Kat Nap:\tjoe 2", "Kat Nap:\tjoe 3", "Kat Nap:\tjoe 4"}));

    const Hwnd cafe = client.OpenRoom("Cafe");  // the newest room is the first one now
    transcript = client.RoomTranscript(cafe);
    client.Say(cafe, "Kat Nap", "joe in the cafe");
    Minutes(1);
    EXPECT_EQ(KeptLines().back(), "Kat Nap:\tjoe in the cafe");
    EXPECT_EQ(touched, Texts{});
}

// The Welcome window is the only place the screen name shows: closed by the
// user while away, lines naming them are still kept and their own lines,
// naming the handle, still never are.
TEST_F(Away, TheScreenNameOutlivesTheWelcomeWindow) {
    StartLogging("[handle]\r\nHANDLE=sleepy\r\n");
    IdleOn();
    client.DestroyWindow(client.WelcomeWindow());
    Say("Kat Nap", "joe, you there?");
    Say("Joe", "back soon, sleepy is");
    Minutes(1);
    EXPECT_EQ(KeptLines(), Texts{"Kat Nap:\tjoe, you there?"});
}

// A room left and come back to: what was kept from it is not kept again,
// what was said there meanwhile is.
TEST_F(Away, ARoomComeBackToIsNewOnlyInWhatCameMeanwhile) {
    StartLogging();
    IdleOn();
    Say("Kat Nap", "joe 1");
    Minutes(1);
    const Hwnd cafe = client.OpenRoom("Cafe");
    client.Say(cafe, "Kat Nap", "joe in the cafe");
    Say("Kat Nap", "joe 2");  // in the Lobby, behind the cafe
    Minutes(1);
    client.DestroyWindow(cafe);
    Minutes(1);
    EXPECT_EQ(KeptLines(), (Texts{"Kat Nap:\tjoe 1", "Kat Nap:\tjoe in the cafe", "Kat Nap:\tjoe 2"}));
}

// The log switched off and on while away starts "new" afresh, yet a room
// read before is not new again in what was kept from it.
TEST_F(Away, LogSwitchedOffAndOnKeepsNothingTwice) {
    StartLogging();
    IdleOn();
    Say("Kat Nap", "joe 1");
    Minutes(1);
    const Hwnd cafe = client.OpenRoom("Cafe");
    Choose({"idle options", "away log: on"});
    client.Say(cafe, "Kat Nap", "joe, said while the log was off");
    Choose({"idle options", "away log: off"});
    Minutes(1);
    client.DestroyWindow(cafe);
    Minutes(1);
    EXPECT_EQ(KeptLines(), Texts{"Kat Nap:\tjoe 1"});
}

// 7.0 and 8.0 read the read-only transcript; before them the first
// "RICHCNTL" (the second is the input box).
TEST_F(Away, EarlyLayoutReadsTheFirstRichControl) {
    Client("6.0", "Joe");
    Launch(kDecorations + "[away]\r\nLOG=yes\r\n");
    IdleOn();
    Say("Kat Nap", "joe?");
    client.TypeInRoom(room, "joe typed this");
    Minutes(1);
    EXPECT_EQ(KeptLines(), Texts{"Kat Nap:\tjoe?"});
    EXPECT_EQ(client.InputText(room), "joe typed this");
}

// ---- menu and settings -------------------------------------------------------------------

// The new items follow "interval" after a separator: every item that was
// there keeps its place, so the arrow keys reach it as before, and no new
// item starts with a letter an older one of its menu starts with.
TEST_F(Away, MenuItemsComeLastAndMoveNothing) {
    Start();
    const MenuItem& idle = menus.Item("idleoptions");
    Texts captions;
    for (const MenuItem& item : idle.children) captions.push_back(item.caption);
    EXPECT_EQ(captions, (Texts{"idle on", "idle off", "idle pause", "-", "brag idle stats", "edit reasons",
                               "insert dl/ul stats", "interval: 1", "-", "away log: off", "show away log",
                               "auto idle: off"}));
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = 9; j < captions.size(); ++j)
            EXPECT_NE(captions[i].front(), captions[j].front()) << captions[i] << " / " << captions[j];
    EXPECT_EQ(menus.menu.children.size(), 10u);
}

TEST_F(Away, SettingsRoundTrip) {
    Start();
    Choose({"idle options", "away log: off"});
    EXPECT_EQ(menus.Item("awaylog").caption, "away log: on");
    sim.ScriptPrompt("15");
    Choose({"idle options", "auto idle: off"});
    EXPECT_EQ(Prompt(0), "set auto idle|minutes without keyboard or mouse before idling starts (0 = off).|");
    EXPECT_EQ(menus.Item("autoidle").caption, "auto idle: 15 min");
    for (const std::optional<std::string>& refused : {std::optional<std::string>("abc"),
                                                      std::optional<std::string>("-1"), std::optional<std::string>("1.5"),
                                                      std::optional<std::string>(" 5"), std::optional<std::string>(),
                                                      std::optional<std::string>("10081")})
        Answer("autoidle", refused);
    EXPECT_EQ(menus.Item("autoidle").caption, "auto idle: 15 min");
    const std::string file = *sim.FileBytes(kSettings);
    EXPECT_NE(file.find("[away]\r\nLOG=yes\r\nAUTO IDLE=15\r\n"), std::string::npos) << file;

    World again;
    again.sim.SetFileBytes(kSettings, file);
    again.Client();
    again.Launch(std::nullopt);
    EXPECT_EQ(again.menus.Item("awaylog").caption, "away log: on");
    EXPECT_EQ(again.menus.Item("autoidle").caption, "auto idle: 15 min");
    EXPECT_TRUE(again.program.away.LogOn());

    Choose({"idle options", "away log: on"});
    Answer("autoidle", "0");
    EXPECT_EQ(menus.Item("awaylog").caption + "|" + menus.Item("autoidle").caption, "away log: off|auto idle: off");
    EXPECT_NE(sim.FileBytes(kSettings)->find("[away]\r\nLOG=no\r\nAUTO IDLE=0\r\n"), std::string::npos);
}

// ---- automatic idle ------------------------------------------------------------------------

class AutoIdle : public Away {
protected:
    void SetUp() override {
        Start("[away]\r\nAUTO IDLE=5\r\n");
        sim.TouchInput();
    }
    bool On() const { return form.Timer1.Enabled(); }
};

// Five minutes without input: idle on, with the idle-on line; input back:
// idle off within seconds, with the idle-off line.
TEST_F(AutoIdle, SwitchesOnAfterTheMinutesAndOffWhenInputComesBack) {
    sim.RunFor(4 * 60 + 50);
    EXPECT_FALSE(On());
    sim.RunFor(15);
    EXPECT_TRUE(On());
    EXPECT_EQ(Lines(), Texts{kIdleOn1});
    sim.RunFor(20 * 60);
    sim.TouchInput();
    sim.RunFor(5);
    EXPECT_FALSE(On());
    EXPECT_EQ(Lines().back(), Said("idle off"));
    EXPECT_EQ(menus.Item("idleon").enabled, true);
    // And again, the next time the user walks away.
    sim.RunFor(5 * 60 + 5);
    EXPECT_TRUE(On());
}

// Switched on by hand: input coming back leaves it on.
TEST_F(AutoIdle, ManualIdleOnIsNotSwitchedOff) {
    IdleOn();
    sim.RunFor(10 * 60);
    sim.TouchInput();
    sim.RunFor(60);
    EXPECT_TRUE(On());
    const Texts lines = Lines();
    EXPECT_EQ(lines.front(), kIdleOn1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), Said("idle off")), 0);
}

// Switched off by hand while the user stays still: not on again until input
// came and went for the minutes again; paused by hand: left paused.
TEST_F(AutoIdle, ManualIdleOffAndPauseWin) {
    sim.RunFor(5 * 60 + 5);
    ASSERT_TRUE(On());
    Choose({"idle options", "idle off"});
    sim.RunFor(30 * 60);
    EXPECT_FALSE(On());
    sim.TouchInput();
    sim.RunFor(5 * 60 + 10);
    EXPECT_TRUE(On());
    Choose({"idle options", "idle pause"});
    sim.TouchInput();
    sim.RunFor(60);
    EXPECT_EQ(menus.Item("idlepause").caption, "idle unpause");
    EXPECT_TRUE(menus.Item("idleoff").enabled);
}

// No last-input time: nothing switches; 0 minutes: off.
TEST_F(AutoIdle, UnknownInputOrZeroMinutesSwitchNothing) {
    sim.SetLastInput(std::nullopt);
    sim.RunFor(60 * 60);
    EXPECT_FALSE(On());
    sim.SetLastInput(0.0);
    Answer("autoidle", "0");
    sim.RunFor(60 * 60);
    EXPECT_FALSE(On());
    EXPECT_EQ(Lines(), Texts{});
}

}  // namespace
}  // namespace qm::testing
