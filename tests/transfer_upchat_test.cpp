// Upload chat against the stand-in client: the upload window minimized once
// per upload by Timer3 and announced, the two commands, the message boxes
// when the window is gone by the time it is looked up, and the stored choice.
#include "transfer/transfers.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/settings.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

using aolsim::Client;
using aolsim::WindowEvent;
using Events = std::vector<WindowEvent>;

const std::string kAutoUpchat =
    "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" "
    "color=#000000>quillmoor idle \xB7 <font color=#0000ff>auto upchat";
constexpr const char* kAutoOn = "[upchat]\r\nAUTO UPCHAT=yes\r\n";
constexpr double kTick = 3.0;

class Upchat : public ::testing::Test {
protected:
    Upchat() { sim.SetProgramFolder("C:\\quillmoor"); }
    // Client 8.0 signed on, the program started with these settings, then
    // the user in "Lobby" (so the entry lines are not in its transcript).
    void Begin(const std::string& settings = "") {
        if (!settings.empty()) sim.SetFileBytes("C:\\quillmoor\\quillmoor.dat", settings);
        client.Start("8.0");
        client.SignOn("Joe");
        ASSERT_TRUE(program.Start());
        client.OpenRoom("Lobby");
    }
    Hwnd Upload(const std::string& file = "a.zip") { return client.StartUpload(file, 45, Client::RemainingText(3)); }
    void Click(const char* item) { program.form2.Item(item).Click(); }
    // What was done to "_AOL_Modal" windows.
    Events UploadEvents() const {
        Events out;
        for (const WindowEvent& e : client.WindowEvents())
            if (e.cls == "_AOL_Modal") out.push_back(e);
        return out;
    }
    static Events HideThen(WindowEvent::Kind kind, const std::string& caption = "File Transfer - 45%") {
        return {{WindowEvent::Hidden, "_AOL_Modal", caption}, {kind, "_AOL_Modal", caption}};
    }
    std::vector<std::string> Said() const { return client.Transcript("Lobby"); }
    std::string Stored() { return ReadSetting(sim, "upchat", "auto upchat", SettingsFile(sim)); }

    sim::SimPlatform sim;
    aolsim::SimClient client{sim};
    Program program{sim};
    Form1& form = program.form1;
};

// ---- Timer3 ---------------------------------------------------------------------------------

TEST_F(Upchat, NewUploadIsMinimizedAndAnnouncedWithinOneTick) {
    Begin(kAutoOn);
    Hwnd w = Upload("A.ZIP");
    sim.RunFor(kTick);
    EXPECT_EQ(UploadEvents(), HideThen(WindowEvent::Minimized));
    EXPECT_TRUE(sim.Minimized(w));
    EXPECT_EQ(form.lblUpload, "a.zip");
    EXPECT_EQ(Said(), std::vector<std::string>{kAutoUpchat});
}

TEST_F(Upchat, LaterTicksOfTheSameUploadDoNothing) {
    Begin(kAutoOn);
    Upload();
    sim.RunFor(kTick);
    client.SetUploadProgress(80, Client::RemainingText(1));
    sim.RunFor(10 * kTick);
    EXPECT_EQ(UploadEvents().size(), 2u);
    EXPECT_EQ(Said().size(), 1u);
}

TEST_F(Upchat, RestoredByUpchatOffTheTimerLeavesItAlone) {
    Begin(kAutoOn);
    Hwnd w = Upload();
    sim.RunFor(kTick);
    Click("upchatoff");
    EXPECT_FALSE(sim.Minimized(w));
    sim.RunFor(10 * kTick);
    Events expected = HideThen(WindowEvent::Minimized);
    for (const WindowEvent& e : HideThen(WindowEvent::Restored)) expected.push_back(e);
    EXPECT_EQ(UploadEvents(), expected);
    EXPECT_EQ(Said().size(), 1u);
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

TEST_F(Upchat, NoUploadTicksDoNothing) {
    Begin(kAutoOn);
    sim.RunFor(10 * kTick);
    EXPECT_TRUE(UploadEvents().empty());
    EXPECT_TRUE(Said().empty());
    EXPECT_TRUE(sim.MessageBoxes().empty());
    EXPECT_EQ(form.lblUpload, "");
}

TEST_F(Upchat, EachNewFileIsMinimizedButNotOneNamedAsTheLast) {
    Begin(kAutoOn);
    Upload("a.zip");
    sim.RunFor(kTick);
    client.EndUpload();
    sim.RunFor(kTick);
    Hwnd again = Upload("a.zip");
    sim.RunFor(kTick);
    EXPECT_FALSE(sim.Minimized(again));
    client.EndUpload();
    Hwnd next = Upload("b.zip");
    sim.RunFor(kTick);
    EXPECT_TRUE(sim.Minimized(next));
    EXPECT_EQ(form.lblUpload, "b.zip");
    EXPECT_EQ(Said(), (std::vector<std::string>{kAutoUpchat, kAutoUpchat}));
}

TEST_F(Upchat, AnnouncementIsDrawnWithTheStyleOfTheMoment) {
    Begin(kAutoOn);
    form.lblAscii1 = "~*";
    form.lblAscii1Color = "ff0000";
    form.lblAscii1Font = "tahoma";
    form.lblFont = "verdana";
    form.lblColor1 = "111111";
    form.lblColor2 = "222222";
    Upload();
    sim.RunFor(kTick);
    EXPECT_EQ(Said(), std::vector<std::string>{"</b></u></i></s><font face=\"tahoma\" color=#ff0000>~* <font "
                                               "face=\"verdana\" color=#111111>quillmoor idle \xB7 <font "
                                               "color=#222222>auto upchat"});
}

TEST_F(Upchat, UploadBehindAnotherDialogWaitsForTheDialogToGo) {
    Begin(kAutoOn);
    Hwnd w = Upload();
    client.ShowOtherModal("Warning");
    sim.RunFor(3 * kTick);
    EXPECT_TRUE(UploadEvents().empty());
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_TRUE(Said().empty());
    client.CloseOtherModal();
    sim.RunFor(kTick);
    EXPECT_TRUE(sim.Minimized(w));
    EXPECT_EQ(Said().size(), 1u);
}

TEST_F(Upchat, NameUnreadableAfterTheHideIsTheOneActedOn) {
    Begin(kAutoOn);
    Hwnd w = Upload();
    // Another dialog comes up as the upload goes down: the name cannot be
    // read again, and the upload must not count as new once it can.
    int shows = 0;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::ShowWindow && h == w && ++shows == 2) client.ShowOtherModal("Warning");
    });
    sim.RunFor(kTick);
    EXPECT_EQ(form.lblUpload, "a.zip");
    client.CloseOtherModal();
    sim.RunFor(5 * kTick);
    EXPECT_EQ(UploadEvents(), HideThen(WindowEvent::Minimized));
    EXPECT_EQ(Said().size(), 1u);
}

TEST_F(Upchat, TickDueWhileATickRunsIsSkipped) {
    Begin(kAutoOn);
    Hwnd w = Upload();
    // The client takes long over the first hide; meanwhile the next tick
    // falls due, before this one has recorded the upload.
    bool slow = true;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::ShowWindow && h == w && slow) {
            slow = false;
            sim.RunFor(kTick + 0.5);
        }
    });
    sim.RunFor(kTick);
    sim.SetHook({});
    EXPECT_EQ(UploadEvents(), HideThen(WindowEvent::Minimized));
    EXPECT_EQ(Said().size(), 1u);
}

// ---- the window gone between the test and the lookup ----------------------------------

TEST_F(Upchat, UploadGoneBeforeTheTicksLookupShowsTheBoxAndRecordsWhatIsRead) {
    Begin(kAutoOn);
    Upload();
    // The tick reads the name three times: in the lookup of the name read,
    // as the name, and in the lookup of its test.  The upload ends right
    // after the third, before the window is looked up to be hidden.
    client.EndUploadOnRead(3);
    sim.RunFor(kTick);
    ASSERT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(sim.MessageBoxes()[0].title, "upchat error");
    EXPECT_EQ(sim.MessageBoxes()[0].text, "upchat window not found, stupid ass!");
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_EQ(Said(), std::vector<std::string>{kAutoUpchat});
    sim.RunFor(5 * kTick);
    EXPECT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(Said().size(), 1u);
}

TEST_F(Upchat, UploadBackAfterTheBoxIsRecordedAndNotMinimizedAgain) {
    Begin(kAutoOn);
    Upload();
    int lookups = 0;
    sim.SetHook([&](sim::Op op, Hwnd) {
        if (op == sim::Op::FindWindow && ++lookups == 3) {
            client.EndUpload();
            sim.Schedule(0, [&] { Upload(); });  // the client shows it anew
        }
    });
    sim.RunFor(kTick);
    sim.SetHook({});
    EXPECT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_EQ(form.lblUpload, "a.zip");
    sim.RunFor(5 * kTick);
    EXPECT_TRUE(UploadEvents().empty());
    EXPECT_EQ(Said().size(), 1u);
}

// ---- the commands ---------------------------------------------------------------------------

TEST_F(Upchat, UpchatOnMinimizesTheUploadWithoutAWord) {
    Begin();
    Hwnd w = Upload();
    Click("upchaton");
    EXPECT_EQ(UploadEvents(), HideThen(WindowEvent::Minimized));
    EXPECT_TRUE(sim.Minimized(w));
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_TRUE(Said().empty());
}

TEST_F(Upchat, CommandsWithoutAnUploadDoNothing) {
    Begin();
    Click("upchaton");
    Click("upchatoff");
    client.ShowOtherModal("Warning");  // not an upload: left alone
    Click("upchaton");
    Click("upchatoff");
    EXPECT_TRUE(UploadEvents().empty());
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

TEST_F(Upchat, CommandsShowTheirBoxWhenTheUploadIsGoneByTheLookup) {
    Begin();
    // The command reads the name twice (in the lookup, then as the name);
    // the upload ends right after.
    Upload();
    client.EndUploadOnRead(2);
    Click("upchaton");
    Upload();
    client.EndUploadOnRead(2);
    Click("upchatoff");
    ASSERT_EQ(sim.MessageBoxes().size(), 2u);
    EXPECT_EQ(sim.MessageBoxes()[0].title, "upchat error");
    EXPECT_EQ(sim.MessageBoxes()[0].text, "upchat window not found, stupid ass!");
    EXPECT_EQ(sim.MessageBoxes()[1].title, "upchat error");
    EXPECT_EQ(sim.MessageBoxes()[1].text, "upchat window not found, moron!");
    EXPECT_TRUE(UploadEvents().empty());
}

TEST_F(Upchat, HungClientIsLeftAlone) {
    Begin(kAutoOn);
    Upload();
    client.SetHung(true);
    Click("upchaton");
    sim.RunFor(2 * kTick);
    client.SetHung(false);
    EXPECT_TRUE(UploadEvents().empty());
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

// ---- enable auto upchat --------------------------------------------------------------------

TEST_F(Upchat, EnableTwiceFromOffEndsOffWithNoStored) {
    Begin();
    Click("enableautoupchat");
    EXPECT_TRUE(program.form2.Checked("enableautoupchat"));
    EXPECT_TRUE(form.Timer3.Enabled());
    EXPECT_EQ(Stored(), "yes");
    Click("enableautoupchat");
    EXPECT_FALSE(program.form2.Checked("enableautoupchat"));
    EXPECT_FALSE(form.Timer3.Enabled());
    EXPECT_EQ(Stored(), "no");
    EXPECT_TRUE(Said().empty());
}

TEST_F(Upchat, EnableTwiceFromOnEndsOnWithYesStored) {
    Begin(kAutoOn);
    ASSERT_TRUE(form.Timer3.Enabled());
    Click("enableautoupchat");
    EXPECT_FALSE(form.Timer3.Enabled());
    EXPECT_EQ(Stored(), "no");
    Click("enableautoupchat");
    EXPECT_TRUE(program.form2.Checked("enableautoupchat"));
    EXPECT_TRUE(form.Timer3.Enabled());
    EXPECT_EQ(Stored(), "yes");
}

TEST_F(Upchat, EnabledByTheCommandTheTimerMinimizesUploads) {
    Begin();
    Hwnd w = Upload();
    sim.RunFor(3 * kTick);
    EXPECT_FALSE(sim.Minimized(w));
    Click("enableautoupchat");
    sim.RunFor(kTick);
    EXPECT_TRUE(sim.Minimized(w));
    Click("enableautoupchat");
    client.EndUpload();
    Hwnd next = Upload("b.zip");
    sim.RunFor(3 * kTick);
    EXPECT_FALSE(sim.Minimized(next));
}

}  // namespace
}  // namespace qm
