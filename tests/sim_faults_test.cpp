// Faults the simulated platform injects into files and profile entries, the
// n-th call helpers, and the description a failed scenario prints; then the
// program's stored idle total with its settings file broken between writes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using sim::Op;
using sim::Verdict;

const std::string kIni = "C:\\q\\a.ini";

class SimFaults : public ::testing::Test {
protected:
    SimFaults() { p.AddFolder("C:\\q"); }

    // Every file and profile call once, in the seam's order, as "op path".
    Texts CallEach(const std::string& path) {
        Texts seen;
        p.SetFileHook([&](Op op, const std::string& on) {
            seen.push_back(Name(op) + " " + on);
            return Verdict::Proceed;
        });
        p.FileExists(path);
        p.ReadFile(path, 10);
        p.WriteFile(path, "x");
        p.DeleteFile(path);
        p.CreateFolder(path);
        p.GetProfileString("s", "k", path, 100);
        p.WriteProfileString("s", "k", "v", path);
        p.SetFileHook({});
        return seen;
    }
    static std::string Name(Op op) {
        switch (op) {
            case Op::ReadFile: return "ReadFile";
            case Op::WriteFile: return "WriteFile";
            case Op::DeleteFile: return "DeleteFile";
            case Op::FileExists: return "FileExists";
            case Op::CreateFolder: return "CreateFolder";
            case Op::GetProfileString: return "GetProfileString";
            case Op::WriteProfileString: return "WriteProfileString";
            default: return "window op";
        }
    }
    // Which of three profile writes to `path` took, as "+" or "-" each.
    std::string ThreeWrites(const std::string& path) {
        std::string took;
        for (int i = 0; i < 3; ++i) took += p.WriteProfileString("s", "k", std::to_string(i), path) ? "+" : "-";
        return took;
    }

    sim::SimPlatform p;
};

// The profile functions are one call each, as on Windows: the reads and
// writes they do inside are not calls of their own.  The window hook sees
// none of them.
TEST_F(SimFaults, FileHookSeesEveryFileAndProfileCallOnceWithItsPath) {
    int windowCalls = 0;
    p.SetHook([&](Op, Hwnd) { ++windowCalls; });
    EXPECT_EQ(CallEach("C:\\Q\\A.ini"),
              (Texts{"FileExists C:\\Q\\A.ini", "ReadFile C:\\Q\\A.ini", "WriteFile C:\\Q\\A.ini",
                     "DeleteFile C:\\Q\\A.ini", "CreateFolder C:\\Q\\A.ini", "GetProfileString C:\\Q\\A.ini",
                     "WriteProfileString C:\\Q\\A.ini"}));
    EXPECT_EQ(windowCalls, 0);
    p.GetText(p.CreateWindow("RICHCNTL", "", 0), 10);
    EXPECT_EQ(windowCalls, 1);
}

// A failed call changes nothing and reads as the seam says a failure reads;
// the same call goes through once the hook lets it.
TEST_F(SimFaults, FailedCallChangesNothingAndReadsAsUnknown) {
    p.SetFileBytes(kIni, "[s]\r\nk=old\r\n");
    Texts failed;
    p.SetFileHook([&](Op op, const std::string&) {
        failed.push_back(Name(op));
        return Verdict::Fail;
    });
    EXPECT_FALSE(p.FileExists(kIni));
    EXPECT_EQ(p.ReadFile(kIni, 100), std::nullopt);
    EXPECT_EQ(p.GetProfileString("s", "k", kIni, 100), "");
    EXPECT_FALSE(p.WriteFile(kIni, "new"));
    EXPECT_FALSE(p.WriteProfileString("s", "k", "new", kIni));
    EXPECT_FALSE(p.WriteFile("C:\\q\\b.ini", "new"));
    EXPECT_FALSE(p.DeleteFile(kIni));
    EXPECT_FALSE(p.CreateFolder("C:\\q\\sub\\deeper"));
    EXPECT_EQ(failed.size(), 8u);
    EXPECT_EQ(p.FileBytes(kIni), "[s]\r\nk=old\r\n");
    EXPECT_EQ(p.FileBytes("C:\\q\\b.ini"), std::nullopt);
    p.SetFileHook({});
    EXPECT_FALSE(p.WriteFile("C:\\q\\sub\\c.ini", "x")) << "the failed CreateFolder made no folder";
    EXPECT_TRUE(p.FileExists(kIni));
    EXPECT_EQ(p.ReadFile(kIni, 100), "[s]\r\nk=old\r\n");
    EXPECT_EQ(p.GetProfileString("s", "k", kIni, 100), "old");
    EXPECT_TRUE(p.WriteProfileString("s", "k", "new", kIni));
    EXPECT_EQ(p.FileBytes(kIni), "[s]\r\nk=new\r\n");
    EXPECT_TRUE(p.CreateFolder("C:\\q\\sub\\deeper"));
    EXPECT_TRUE(p.DeleteFile(kIni));
}

// The hook may change the world before the call: a file that goes between
// its test and its read.
TEST_F(SimFaults, FileHookMayChangeTheWorldBeforeTheCall) {
    p.SetFileBytes(kIni, "abc");
    p.SetFileHook([&](Op op, const std::string& path) {
        if (op == Op::ReadFile) p.RemoveFile(path);
        return Verdict::Proceed;
    });
    EXPECT_TRUE(p.FileExists(kIni));
    EXPECT_EQ(p.ReadFile(kIni, 10), std::nullopt);
}

// Exactly the n-th call from now on fails, counting only the calls of that
// operation on that file (in any letter case); the ones after go through.
TEST_F(SimFaults, FailNthFailsExactlyTheNthCallOnItsFile) {
    p.FailNth(Op::WriteProfileString, 2, "c:/Q/A.INI");
    EXPECT_TRUE(p.WriteProfileString("s", "k", "x", "C:\\q\\other.ini"));
    EXPECT_TRUE(p.WriteFile(kIni, ""));
    EXPECT_EQ(p.GetProfileString("s", "k", kIni, 10), "");
    EXPECT_EQ(p.ArmedLeft(), 1u);
    EXPECT_EQ(ThreeWrites(kIni), "+-+");
    EXPECT_EQ(p.ArmedLeft(), 0u);
    EXPECT_EQ(p.FileBytes(kIni), "[s]\r\nk=2\r\n");
    EXPECT_EQ(ThreeWrites(kIni), "+++") << "fails once";

    // Any file; two armed at once; the first call is n = 1.
    p.FailNth(Op::WriteProfileString, 1);
    p.FailNth(Op::WriteProfileString, 3, kIni);
    EXPECT_EQ(ThreeWrites("C:\\q\\other.ini"), "-++");
    EXPECT_EQ(ThreeWrites(kIni), "++-");

    p.FailNth(Op::ReadFile, 2);
    EXPECT_EQ(p.ReadFile(kIni, 100), "[s]\r\nk=1\r\n");
    EXPECT_EQ(p.ReadFile(kIni, 100), std::nullopt);
    EXPECT_EQ(p.ReadFile(kIni, 100), "[s]\r\nk=1\r\n");
}

// A call made inside a hook counts, and a hook that passed still sees the
// call the armed failure takes.
TEST_F(SimFaults, FailNthCountsCallsMadeInsideAHook) {
    p.SetFileBytes(kIni, "abc");
    int hooked = 0;
    p.SetHook([&](Op op, Hwnd) {
        if (op == Op::FindWindow) p.ReadFile(kIni, 10);
    });
    p.SetFileHook([&](Op, const std::string&) {
        ++hooked;
        return Verdict::Proceed;
    });
    p.FailNth(Op::ReadFile, 2);
    p.FindWindow("x");
    EXPECT_EQ(p.ReadFile(kIni, 10), std::nullopt);
    EXPECT_EQ(hooked, 1) << "no hook runs inside a hook";
}

TEST_F(SimFaults, FailNthRefusesWindowOperationsAndCountsFromOne) {
    EXPECT_THROW(p.FailNth(Op::GetText, 1), std::invalid_argument);
    EXPECT_THROW(p.FailNth(Op::ReadFile, 0), std::invalid_argument);
    EXPECT_THROW(p.AtNth(Op::Send, 0, [] {}), std::invalid_argument);
    EXPECT_EQ(p.ReadFile(kIni, 1), std::nullopt);
    p.SetFileBytes(kIni, "a");
    EXPECT_EQ(p.ReadFile(kIni, 1), "a") << "nothing was armed";
}

// The n-th call on that window runs the action first, once; calls on other
// windows do not count, and no hook runs inside the action.
TEST_F(SimFaults, AtNthActsBeforeTheNthCallOnItsWindow) {
    const Hwnd a = p.CreateWindow("RICHCNTL", "a", 0), b = p.CreateWindow("RICHCNTL", "b", 0);
    int hooked = 0;
    p.SetHook([&](Op, Hwnd) { ++hooked; });
    p.AtNth(Op::GetText, 2, [&] { p.SetTextDirect(a, "grown"), p.GetText(b, 10); }, a);
    std::vector<std::optional<std::string>> read;
    for (Hwnd w : {a, b, a, a}) read.push_back(p.GetText(w, 10));
    EXPECT_EQ(read, (std::vector<std::optional<std::string>>{"a", "b", "grown", "grown"}));
    EXPECT_EQ(hooked, 4);
    EXPECT_EQ(p.ArmedLeft(), 0u);

    p.AtNth(Op::ShowWindow, 1, [&] { p.DestroyWindow(b); });
    p.ShowWindow(b, ShowCmd::Hide);
    EXPECT_FALSE(p.IsWindow(b));
}

// A world of each kind of thing, described in full.
TEST_F(SimFaults, DescribeShowsTheTimeTheWindowTreeAndTheFiles) {
    EXPECT_EQ(p.Describe(), "time: 0 s\nwindows:\n  none\nfiles:\n  none\n");

    p.RunFor(1.25);
    const Hwnd frame = p.CreateWindow("AOL Frame25", "America Online", 0);
    const Hwnd mdi = p.CreateWindow("MDIClient", "", frame);
    const Hwnd room = p.CreateWindow("AOL Child", "Lobby \xB7 \"4\"\\", mdi);
    p.CreateWindow("RICHCNTL", std::string(61, 'x') + "\r\n", room);
    p.ShowWindow(room, ShowCmd::Minimize);
    const Hwnd modal = p.CreateWindow("_AOL_Modal", "File Transfer", 0);
    p.ShowWindow(modal, ShowCmd::Minimize);
    p.ShowWindow(modal, ShowCmd::Hide);
    p.SetHung(modal, true);
    p.MakeTopmost(modal);
    p.TrayWindow();
    p.SetBusyUntil(3.5);
    p.SetFileBytes("C:\\Q\\Quillmoor.dat", "[stats]\r\n");
    p.SetFileFlags("c:\\q\\quillmoor.rea", {.hidden = true, .readOnly = true, .breaksAfter = 10});
    p.SetFileFlags("C:\\q\\dir", {.system = true, .folder = true, .unreadable = true});
    EXPECT_EQ(p.Describe(),
              "time: 1.25 s\n"
              "windows:\n"
              "  0x00010010 \"AOL Frame25\" \"America Online\" shown, thread 1 (busy until 3.5 s)\n"
              "    0x00010014 \"MDIClient\" \"\" shown, thread 1 (busy until 3.5 s)\n"
              "      0x00010018 \"AOL Child\" \"Lobby \\xB7 \\\"4\\\"\\\\\" minimized, thread 1 (busy until 3.5 s)\n"
              "        0x0001001C \"RICHCNTL\" \"" +
                  std::string(60, 'x') +
                  "\"... (63 bytes) shown, thread 1 (busy until 3.5 s)\n"
                  "  0x00010020 \"_AOL_Modal\" \"File Transfer\" hidden, minimized, thread 1 (busy until 3.5 s), "
                  "hung, topmost\n"
                  "  0x00010024 \"quillmoorHelper\" \"\" hidden, thread 0\n"
                  "files:\n"
                  "  C:\\q\\dir: 0 bytes, system, folder, unreadable\n"
                  "  C:\\Q\\Quillmoor.dat: 9 bytes\n"
                  "  c:\\q\\quillmoor.rea: 0 bytes, hidden, read-only, reads break after 10 bytes\n");
    p.RunFor(2.25);
    p.SetFileBytes("C:\\q\\QUILLMOOR.DAT", "");
    EXPECT_EQ(p.Describe().find("busy"), std::string::npos) << "busy until now is busy no more";
    EXPECT_NE(p.Describe().find("  C:\\Q\\Quillmoor.dat: 0 bytes\n"), std::string::npos) << "named as first given";
}

// ---- the stored idle total ----------------------------------------------------------

// The settings file as the program leaves it, [stats] only.
std::string StatsOf(World& w) {
    const std::string bytes = w.sim.FileBytes(kSettings).value_or("(none)");
    const std::size_t stats = bytes.find("[stats]");
    return stats == std::string::npos ? bytes : bytes.substr(stats);
}

// The total is three entries written one after the other, minute, hour and
// day.  A file that takes the first writes of a tick and then breaks holds
// what those writes made it; the minute still counts on the screen.
TEST(StoredTotal, SettingsFileBrokenBetweenTheWritesHoldsTheWritesBeforeTheBreak) {
    const struct {
        int broken;  // which write fails
        const char* stats;
    } cases[] = {
        {1, "[stats]\r\nminute=59\r\nhour=0\r\nday=5\r\n"},
        {2, "[stats]\r\nminute=0\r\nhour=23\r\nday=5\r\n"},
        {3, "[stats]\r\nminute=0\r\nhour=0\r\nday=4\r\n"},
    };
    for (const auto& c : cases) {
        World w;
        w.Start("[stats]\r\nminute=59\r\nhour=23\r\nday=4\r\n");
        w.IdleOn();
        w.sim.FailNth(Op::WriteProfileString, c.broken, kSettings);
        w.Minutes(1);
        EXPECT_EQ(w.sim.ArmedLeft(), 0u) << "write " << c.broken << " broken";
        EXPECT_EQ(StatsOf(w), c.stats) << "write " << c.broken << " broken";
        EXPECT_EQ(w.form.Label2, "0d : 0h : 1m") << "write " << c.broken << " broken";
    }
}

// Whatever write or read of a tick the file failed once, the next tick
// leaves the total two minutes on: 4d 23h 59m became 5d 0h 1m.  A write
// that broke between the three is written whole again; a read that failed
// is not counted on from nothing.
TEST(StoredTotal, GrowsByTheMinutesCountedThoughTheFileBrokeOnceAtACarry) {
    for (const Op op : {Op::WriteProfileString, Op::GetProfileString}) {
        for (const int broken : {1, 2, 3}) {
            World w;
            w.Start("[stats]\r\nminute=59\r\nhour=23\r\nday=4\r\n");
            w.IdleOn();
            w.sim.FailNth(op, broken, kSettings);
            w.Minutes(2);
            EXPECT_EQ(StatsOf(w), "[stats]\r\nminute=1\r\nhour=0\r\nday=5\r\n")
                << (op == Op::GetProfileString ? "read " : "write ") << broken << " broken";
        }
    }
}

}  // namespace
}  // namespace qm::testing
