// Start-up: the settings file fills the main window's labels, with defaults
// for what is missing, and arms the timers the stored settings ask for.
#include "app/form1.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/settings.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

class StartUp : public ::testing::Test {
protected:
    StartUp() { sim.SetProgramFolder("C:\\quillmoor"); }
    void Settings(const std::string& bytes) { sim.SetFileBytes("C:\\quillmoor\\quillmoor.dat", bytes); }
    sim::SimPlatform sim;
    Program program{sim};
    Form1& form = program.form1;
};

TEST_F(StartUp, MissingSettingsFileGivesTheDefaults) {
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form.lblInterval, "1");
    EXPECT_EQ(form.lblColor1, "000000");
    EXPECT_EQ(form.lblColor2, "0000ff");
    EXPECT_EQ(form.lblFont, "arial narrow");
    for (const std::string* s : {&form.lblAscii1, &form.lblAscii2, &form.lblAscii3}) EXPECT_EQ(*s, "qlR -");
    for (const std::string* s : {&form.lblAscii1Color, &form.lblAscii2Color, &form.lblAscii3Color})
        EXPECT_EQ(*s, "0000ff");
    for (const std::string* s : {&form.lblAscii1Font, &form.lblAscii2Font, &form.lblAscii3Font})
        EXPECT_EQ(*s, "arial narrow");
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_FALSE(form.Timer2.Enabled());
    EXPECT_FALSE(form.Timer3.Enabled());
    // Defaults are shown, never written back.
    EXPECT_EQ(sim.FileBytes("C:\\quillmoor\\quillmoor.dat"), std::nullopt);
}

TEST_F(StartUp, StoredValuesAreUsedAsTheyStand) {
    Settings("[handle]\r\nHANDLE=JoeBlow\r\n[interval]\r\nINTERVAL=05\r\n[color]\r\nCOLOR 1=ff0000\r\n"
             "COLOR 2=00ff00\r\n[font]\r\nFONT=tahoma\r\n[ascii 2]\r\nASCII=~*~\r\nCOLOR=123456\r\nFONT=courier\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form.lblHandle, "JoeBlow");
    EXPECT_EQ(form.lblInterval, "05");
    EXPECT_EQ(form.lblColor1, "ff0000");
    EXPECT_EQ(form.lblColor2, "00ff00");
    EXPECT_EQ(form.lblFont, "tahoma");
    EXPECT_EQ(form.lblAscii2, "~*~");
    EXPECT_EQ(form.lblAscii2Color, "123456");
    EXPECT_EQ(form.lblAscii2Font, "courier");
    EXPECT_EQ(form.lblAscii1, "qlR -");
    EXPECT_EQ(form.lblAscii3Font, "arial narrow");
}

TEST_F(StartUp, TimersFollowExactlyYes) {
    Settings("[dcp]\r\nAUTO DCP=yes\r\n[upchat]\r\nAUTO UPCHAT=Yes\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(form.Timer2.Enabled());
    EXPECT_FALSE(form.Timer3.Enabled());
    EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(StartUp, IdleClockStartsAtZeroWhateverTheTotal) {
    Settings("[stats]\r\nday=2\r\nhour=5\r\nminute=7\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form.lblDay, "0");
    EXPECT_EQ(form.lblHrs, "0");
    EXPECT_EQ(form.lblMins, "0");
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
}

TEST_F(StartUp, WindowIsTopmostAndShownAfterLoading) {
    ASSERT_TRUE(program.Start());
    Hwnd w = form.Window();
    EXPECT_EQ(sim.FindWindow("quillmoorForm", std::string_view("quillmoor idle by dorwick")), w);
    EXPECT_TRUE(sim.Topmost(w));
    EXPECT_TRUE(sim.Visible(w));
    EXPECT_EQ(sim.MainLayout().clientWidth, 116);
    EXPECT_EQ(sim.MainLayout().clientHeight, 51);
}

TEST_F(StartUp, SecondCopyEndsBeforeAnythingElse) {
    sim.SetPreviousInstance(true);
    Settings("[dcp]\r\nAUTO DCP=yes\r\n");
    EXPECT_FALSE(program.Start());
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_EQ(form.Window(), 0u);
    EXPECT_EQ(form.lblInterval, "");
    EXPECT_FALSE(form.Timer2.Enabled());
}

TEST_F(StartUp, MouseOnBodyOrClockDragsTheWindow) {
    ASSERT_TRUE(program.Start());
    MainWindowModel& model = *sim.MainModel();
    model.MouseDown(Control::Body, MouseButton::Right);
    model.MouseDown(Control::Label2, MouseButton::Left);
    model.MouseDown(Control::Label1, MouseButton::Left);
    EXPECT_EQ(sim.DragCount(form.Window()), 2);
}

TEST_F(StartUp, MenuButtonOpensTheMenuJustBelowIt) {
    ASSERT_TRUE(program.Start());
    sim.MainModel()->Click(Control::Label1);
    ASSERT_EQ(sim.Popups().size(), 1u);
    const sim::PopupCall& opened = sim.Popups()[0];
    EXPECT_EQ(opened.owner, form.Window());
    ASSERT_TRUE(opened.at.has_value());
    EXPECT_EQ(opened.at->x, 8);
    EXPECT_EQ(opened.at->y, 41);
    EXPECT_EQ(opened.root.caption, "menu");
    EXPECT_EQ(opened.defaultId, program.form2.Item("exit").id);
}

TEST_F(StartUp, Label2RepaintsWhenItChanges) {
    ASSERT_TRUE(program.Start());
    int before = sim.InvalidateCount();
    form.SetLabel2("0d : 0h : 1m");
    EXPECT_EQ(sim.MainModel()->Label2Text(), "0d : 0h : 1m");
    EXPECT_EQ(sim.InvalidateCount(), before + 1);
}

class StartUpWithClient : public StartUp {
protected:
    aolsim::SimClient client{sim};
    const std::string head1 = "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial "
                              "narrow\" color=#000000>";
};

TEST_F(StartUpWithClient, EntryAnnouncementCarriesHandleVersionAndStoredTotal) {
    client.Start("8.0");
    client.SignOn("Joe Blow");
    client.OpenRoom("Lobby", "typing");
    Settings("[stats]\r\nday=2\r\nhour=5\r\nminute=7\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form.lblHandle, "joe blow");
    EXPECT_EQ(client.Transcript("Lobby"),
              (std::vector<std::string>{
                  head1 + "quillmoor idle \xB7 enter: <font color=#0000ff>joe blow",
                  head1 + "aol: <font color=#0000ff>8.0<font color=#000000> \xB7 stats: <font color=#0000ff>2<font "
                          "color=#000000>d : <font color=#0000ff>5<font color=#000000>h : <font color=#0000ff>7<font "
                          "color=#000000>m"}));
    EXPECT_EQ(client.InputText(client.Room("Lobby")), "typing");
    EXPECT_EQ(form.lblDay, "0");
    EXPECT_EQ(form.Label2, "0d : 0h : 0m");
}

TEST_F(StartUpWithClient, EntryLinesArePostedAPauseApart) {
    client.Start("8.0");
    client.SignOn("Joe");
    aolsim::Handle room = client.OpenRoom("Lobby");
    std::vector<double> enters;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
    });
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_GE(enters[1] - enters[0], 0.4);
    EXPECT_EQ(client.Transcript("Lobby").size(), 2u);
}

TEST_F(StartUpWithClient, EndingInsideASendWaitsForItsLinesAndTheUsersText) {
    client.Start("8.0");
    client.SignOn("Joe");
    aolsim::Handle room = client.OpenRoom("Lobby");
    ASSERT_TRUE(program.Start());
    client.TypeInRoom(room, "afk 5");
    aolsim::Delays delays = client.GetDelays();
    delays.chat = 1.0;
    client.SetDelays(delays);
    bool quitDuringTheSend = true;
    sim.Schedule(0.2, [&] {
        program.chat.SendChatLine("bye");
        program.End();
        quitDuringTheSend = sim.QuitCalled();
    });
    program.chat.SendChatLine("tick");
    EXPECT_FALSE(quitDuringTheSend);
    EXPECT_TRUE(sim.QuitCalled());
    EXPECT_FALSE(sim.Visible(form.Window()));
    ASSERT_EQ(client.Transcript("Lobby").size(), 4u);
    EXPECT_EQ(client.Transcript("Lobby")[2], "tick");
    EXPECT_EQ(client.Transcript("Lobby")[3], "bye");
    EXPECT_EQ(client.InputText(room), "afk 5");
}

TEST_F(StartUpWithClient, WelcomeWindowIsHidden) {
    client.Start("6.0");
    client.SignOn("Joe");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(client.Captions(aolsim::WindowEvent::Hidden), std::vector<std::string>{"Welcome, Joe!"});
}

TEST_F(StartUpWithClient, StoredHandleIsUsedUnchanged) {
    client.Start("5.0");
    client.SignOn("Joe Blow");
    client.OpenRoom("Lobby");
    Settings("[handle]\r\nHANDLE=The Joe\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form.lblHandle, "The Joe");
    ASSERT_EQ(client.Transcript("Lobby").size(), 2u);
    EXPECT_EQ(client.Transcript("Lobby")[0], head1 + "quillmoor idle \xB7 enter: <font color=#0000ff>The Joe");
}

TEST_F(StartUpWithClient, SignedOffClientGivesAnEmptyHandleAndNoLines) {
    client.Start("7.0");
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(form.lblHandle, "");
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_TRUE(sim.Visible(form.Window()));
}

TEST_F(StartUpWithClient, SecondCopyPostsNothing) {
    client.Start("8.0");
    client.SignOn("Joe");
    client.OpenRoom("Lobby");
    sim.SetPreviousInstance(true);
    EXPECT_FALSE(program.Start());
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_TRUE(client.WindowEvents().empty());
}

}  // namespace
}  // namespace qm
