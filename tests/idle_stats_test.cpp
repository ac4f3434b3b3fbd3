// Brag and exit: the stored idle total of all runs as the file holds it;
// exit then ends the program, losing no line and none of the user's text.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

class Stats : public Idling {
protected:
    static std::string Brag1(const std::string& handle) {
        return Head(1) + "quillmoor idle \xB7 <font color=#0000ff>" + handle + "<font color=#000000>'s stats";
    }
    static std::string Brag2(const std::string& d, const std::string& h, const std::string& m) {
        return Head(2) + "total idled: " + Dhm(d, h, m);
    }
    static std::string Exit1(const std::string& handle) {
        return Head(1) + "quillmoor idle \xB7 exit: <font color=#0000ff>" + handle;
    }
    static std::string Exit2(const std::string& d, const std::string& h, const std::string& m) {
        return Head(2) + "aol: <font color=#0000ff>8.0<font color=#000000> \xB7 stats: " + Dhm(d, h, m);
    }
    void Brag() { Choose({"idle options", "brag idle stats"}); }
    void Exit() { Choose({"exit"}); }
};

// As read, "" as "0"; twice the same, nothing changed.
TEST_F(Stats, BragPostsTheStoredTotalAsRead) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nhour=5\r\nminute=007\r\n");
    const std::optional<std::string> file = sim.FileBytes(kSettings);
    RecordEnters();
    Brag();
    Brag();
    EXPECT_EQ(Lines(), (Texts{Brag1("joe"), Brag2("0", "5", "007"), Brag1("joe"), Brag2("0", "5", "007")}));
    EXPECT_GE(enters.at(1) - enters.at(0), 0.4);
    EXPECT_EQ(sim.FileBytes(kSettings), file);
    EXPECT_EQ(form.lblDay + form.lblHrs + form.lblMins, "000");
}

// Three minutes idled on a stored hour: the stored total, not this run's
// clock; then the end, with nothing written.
TEST_F(Stats, ExitSaysTheStoredTotalAndEndsWritingNothing) {
    Start("[handle]\r\nhandle=joe\r\n[stats]\r\nhour=1\r\n");
    IdleOn();
    Minutes(3);
    const std::optional<std::string> file = sim.FileBytes(kSettings);
    RecordEnters();
    Exit();
    ASSERT_EQ(Lines().size(), 9u);
    EXPECT_EQ(Lines()[7], Exit1("joe"));
    EXPECT_EQ(Lines()[8], Exit2("0", "1", "3"));
    EXPECT_GE(enters.at(1) - enters.at(0), 0.4);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_FALSE(sim.Visible(form.Window()));
    EXPECT_EQ(sim.FileBytes(kSettings), file);
}

TEST_F(Stats, ExitWithoutStatsOrRoomStillEnds) {
    Start();
    Exit();
    EXPECT_EQ(Lines().at(1), Exit2("0", "0", "0"));
    sim::SimPlatform other;
    Program alone(other);
    ASSERT_TRUE(alone.Start());
    alone.form2.Item("exit").Click();
    EXPECT_TRUE(other.QuitCalled());
}

TEST_F(Stats, ExitFromTheTrayLeavesNoIconBehind) {
    Start();
    Choose({"minimize"});
    sim.ScriptPopup({"exit"});
    sim.TrayMouse(tray::kRightButtonUp);
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(sim.TrayCalls().back().op, TrayOp::Delete);
}

TEST_F(Stats, ExitChosenAgainWhileSayingGoodbyeSaysItOnce) {
    Start();
    sim.Schedule(0.2, [&] { Exit(); });
    Exit();
    EXPECT_EQ(Lines().size(), 2u);
}

// The client is slow to take the clock line; exit is chosen meanwhile and
// another part queues a line behind the farewell's first.  All go out in
// order, the user's text is back, then the program ends; the rest of the
// announcement is not said.
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
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Exit1("joe"), "queued", Exit2("0", "0", "1")}));
    EXPECT_EQ(client.InputText(room), "afk 5");
}

TEST_F(Stats, ExitInThePauseOfAnAnnouncementEndsIt) {
    Start("[handle]\r\nhandle=joe\r\n");
    IdleOn();
    sim.Schedule(60.2, [&] { Exit(); });
    sim.RunFor(70);
    EXPECT_EQ(Lines(), (Texts{kIdleOn1, Clock("0", "0", "1"), Exit1("joe"), Exit2("0", "0", "1")}));
}

}  // namespace
}  // namespace qm::testing
