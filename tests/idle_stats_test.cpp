// Brag and exit: the stored idle total of all runs, posted as the file
// holds it; exit then ends the program, losing no line and none of the
// user's unsent text.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

class Stats : public Idling {
protected:
    static std::string Total(const std::string& d, const std::string& h, const std::string& m) {
        return "<font color=#0000ff>" + d + "<font color=#000000>d : <font color=#0000ff>" + h +
               "<font color=#000000>h : <font color=#0000ff>" + m + "<font color=#000000>m";
    }
    static std::string BragLine1(const std::string& handle) {
        return Head(1) + "quillmoor idle \xB7 <font color=#0000ff>" + handle + "<font color=#000000>'s stats";
    }
    static std::string BragLine2(const std::string& d, const std::string& h, const std::string& m) {
        return Head(2) + "total idled: " + Total(d, h, m);
    }
    static std::string ExitLine1(const std::string& handle) {
        return Head(1) + "quillmoor idle \xB7 exit: <font color=#0000ff>" + handle;
    }
    static std::string ExitLine2(const std::string& version, const std::string& d, const std::string& h,
                                 const std::string& m) {
        return Head(2) + "aol: <font color=#0000ff>" + version + "<font color=#000000> \xB7 stats: " + Total(d, h, m);
    }
    void Exit() { Choose({"exit"}); }
};

TEST_F(Stats, BragPostsTheStoredTotalAsRead) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nday=2\r\nhour=5\r\nminute=007\r\n");
    Choose({"idle options", "brag idle stats"});
    EXPECT_EQ(Lines(), (std::vector<std::string>{BragLine1("joe"), BragLine2("2", "5", "007")}));
}

TEST_F(Stats, BragShowsMissingValuesAsZero) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nhour=4\r\n");
    Choose({"idle options", "brag idle stats"});
    EXPECT_EQ(Lines().at(1), BragLine2("0", "4", "0"));
}

TEST_F(Stats, BragTwiceSaysTheSameAndChangesNothing) {
    Start("[stats]\r\nday=1\r\nhour=2\r\nminute=3\r\n");
    const std::string file = sim.FileBytes(kSettings).value();
    std::vector<double> enters;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
    });
    Choose({"idle options", "brag idle stats"});
    Choose({"idle options", "brag idle stats"});
    ASSERT_EQ(Lines().size(), 4u);
    EXPECT_EQ(Lines()[0], Lines()[2]);
    EXPECT_EQ(Lines()[1], Lines()[3]);
    EXPECT_EQ(Lines()[1], BragLine2("1", "2", "3"));
    EXPECT_GE(enters.at(1) - enters.at(0), 0.4);
    EXPECT_EQ(sim.FileBytes(kSettings), file);
    EXPECT_EQ(form.lblDay + form.lblHrs + form.lblMins, "000");
}

// After three minutes of idling on a stored hour, exit shows the stored
// total, not the clock of this run, and ends without writing anything.
TEST_F(Stats, ExitSaysTheStoredTotalAndEndsWritingNothing) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nhour=1\r\n");
    IdleOn();
    Minutes(3);
    const std::string file = sim.FileBytes(kSettings).value();
    std::vector<double> enters;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
    });
    Exit();
    ASSERT_EQ(Lines().size(), 9u);
    EXPECT_EQ(Lines()[7], ExitLine1("joe"));
    EXPECT_EQ(Lines()[8], ExitLine2("8.0", "0", "1", "3"));
    EXPECT_GE(enters.at(1) - enters.at(0), 0.4);
    EXPECT_EQ(form.lblHrs, "1");
    EXPECT_EQ(form.lblMins, "3");
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_FALSE(sim.Visible(form.Window()));
    EXPECT_EQ(sim.FileBytes(kSettings), file);
}

TEST_F(Stats, ExitWithoutStatsOrRoomStillEnds) {
    Start();
    Exit();
    EXPECT_EQ(Lines().at(1), ExitLine2("8.0", "0", "0", "0"));
    EXPECT_EQ(form.lblDay + form.lblHrs + form.lblMins, "000");
    EXPECT_TRUE(sim.QuitCalled());
}

TEST_F(Stats, ExitWithoutARoomStillEnds) {
    Start();
    client.DestroyWindow(room);
    Exit();
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(sim.QuitCalled());
}

TEST_F(Stats, ExitFromTheTrayLeavesNoIconBehind) {
    Start();
    Choose({"minimize"});
    ASSERT_TRUE(menus.InTray());
    sim.ScriptPopup({"exit"});
    sim.TrayMouse(tray::kRightButtonUp);
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_TRUE(sim.QuitCalled());
    ASSERT_FALSE(sim.TrayCalls().empty());
    EXPECT_EQ(sim.TrayCalls().back().op, TrayOp::Delete);
}

TEST_F(Stats, ExitChosenAgainWhileSayingGoodbyeSaysItOnce) {
    Start();
    sim.Schedule(0.2, [&] { Exit(); });
    Exit();
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_TRUE(sim.QuitCalled());
}

// The client is slow to take the clock line; exit is chosen meanwhile and a
// line of another part is queued behind its first line.  All go out in
// order, then the user's text is back, then the program ends; the rest of
// the idle announcement is not said.
TEST_F(Stats, ExitDuringAnotherSendLosesNoLineAndNoTypedText) {
    Start("[handle]\r\nhandle=joe\r\n");
    client.TypeInRoom(room, "afk 5");
    aolsim::Delays delays = client.GetDelays();
    delays.chat = 1.0;
    client.SetDelays(delays);
    IdleOn();
    bool endedEarly = false;
    sim.Schedule(60.3, [&] { Exit(); });
    sim.Schedule(60.5, [&] {
        program.chat.SendChatLine("queued");
        endedEarly = sim.QuitCalled();
    });
    sim.RunFor(70);
    EXPECT_FALSE(endedEarly);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(Lines(), (std::vector<std::string>{Said("idle on<font color=#000000> \xB7 interval: <font "
                                                      "color=#0000ff>1"),
                                                 Clock("0", "0", "1"), ExitLine1("joe"), "queued",
                                                 ExitLine2("8.0", "0", "0", "1")}));
    EXPECT_EQ(client.InputText(room), "afk 5");
}

TEST_F(Stats, ExitInThePauseOfAnAnnouncementEndsIt) {
    Start("[handle]\r\nhandle=joe\r\n");
    IdleOn();
    sim.Schedule(60.2, [&] { Exit(); });
    sim.RunFor(70);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(Lines().size(), 4u);
    EXPECT_EQ(Lines().back(), ExitLine2("8.0", "0", "0", "1"));
}

}  // namespace
}  // namespace qm::testing
