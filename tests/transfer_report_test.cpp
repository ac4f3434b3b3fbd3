// The transfer reports against the stand-in client: which transfers are
// reported for which client version, in which order, each line byte for
// byte and read as it goes out; and the insert setting.
#include "transfer/transfers.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/settings.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm {
namespace {

using aolsim::Client;
using Lines = std::vector<std::string>;

const std::string kHead1 =
    "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>qlR - <font face=\"arial narrow\" color=#000000>";
const std::string kHead2 = kHead1;  // decorations 1 and 2 look alike by default

std::string Line1(const std::string& name) { return kHead1 + "file: <font color=#0000ff>" + name; }
std::string Line2(const std::string& percent, const std::string& minutes) {
    return kHead2 + "completed: <font color=#0000ff>" + percent + "<font color=#000000>% \xB7 min left: <font color=#0000ff>" +
           minutes;
}

class Report : public ::testing::Test {
protected:
    Report() { sim.SetProgramFolder("C:\\quillmoor"); }
    void Begin(const char* version, const std::string& settings = "") {
        if (!settings.empty()) sim.SetFileBytes("C:\\quillmoor\\quillmoor.dat", settings);
        client.Start(version);
        client.SignOn("Joe");
        ASSERT_TRUE(program.Start());
        room = client.OpenRoom("Lobby");
    }
    void Download() { client.StartDownload("Down.ZIP", 45, Client::RemainingText(12)); }
    void Upload() { client.StartUpload("Up.TXT", 7, Client::RemainingText(1)); }
    void Brag() { program.form2.Item("bragdlulstats").Click(); }
    Lines Said() const { return client.Transcript("Lobby"); }

    sim::SimPlatform sim;
    aolsim::SimClient client{sim};
    Program program{sim};
    aolsim::Handle room = 0;
};

const Lines kDownloadReport = {Line1("down.zip"), Line2("45", "12")};
const Lines kUploadReport = {Line1("up.txt"), Line2("7", "1")};

// ---- what is reported -------------------------------------------------------------------

TEST_F(Report, BothTransfersDownloadFirst) {
    Begin("8.0");
    Upload();
    Download();
    Brag();
    EXPECT_EQ(Said(), (Lines{kDownloadReport[0], kDownloadReport[1], kUploadReport[0], kUploadReport[1]}));
}

TEST_F(Report, Version7ReportsOnlyTheDownload) {
    Begin("7.0");
    Download();
    Upload();
    Brag();
    EXPECT_EQ(Said(), kDownloadReport);
}

TEST_F(Report, Version7WithOnlyAnUploadSaysNothing) {
    Begin("7.0");
    Upload();
    Brag();
    EXPECT_TRUE(Said().empty());
}

TEST_F(Report, UploadOnly) {
    Begin("8.0");
    Upload();
    Brag();
    EXPECT_EQ(Said(), kUploadReport);
}

TEST_F(Report, OlderClientReportsBoth) {
    Begin("6.0");
    Download();
    Upload();
    Brag();
    EXPECT_EQ(Said(), (Lines{kDownloadReport[0], kDownloadReport[1], kUploadReport[0], kUploadReport[1]}));
}

TEST_F(Report, NoTransfersSayNothing) {
    Begin("8.0");
    Brag();
    EXPECT_TRUE(Said().empty());
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

TEST_F(Report, NoTransfersSayNothingInVersion7) {
    Begin("7.0");
    Brag();
    EXPECT_TRUE(Said().empty());
}

TEST_F(Report, NoClientSaysNothing) {
    ASSERT_TRUE(program.Start());
    Brag();
    EXPECT_TRUE(client.Chat().empty());
}

// ---- the lines -------------------------------------------------------------------------------

TEST_F(Report, CaptionFileTransferAloneReportsZeroPercent) {
    Begin("8.0");
    client.StartDownload("a.zip", -1, "Calculating Transfer Time");
    Brag();
    EXPECT_EQ(Said(), (Lines{Line1("a.zip"), Line2("0", "0")}));
}

TEST_F(Report, LinesUseTheirOwnDecorationsAndTheStyleOfTheMoment) {
    Begin("8.0");
    Form1& form = program.form1;
    form.lblAscii1 = "1>";
    form.lblAscii1Color = "aa0000";
    form.lblAscii1Font = "f1";
    form.lblAscii2 = "2>";
    form.lblAscii2Color = "00aa00";
    form.lblAscii2Font = "f2";
    form.lblFont = "tahoma";
    form.lblColor1 = "111111";
    form.lblColor2 = "222222";
    Download();
    // Between the lines the colour of values changes.
    sim.Schedule(0.2, [&] { form.lblColor2 = "333333"; });
    Brag();
    EXPECT_EQ(Said(), (Lines{"</b></u></i></s><font face=\"f1\" color=#aa0000>1> <font face=\"tahoma\" "
                             "color=#111111>file: <font color=#222222>down.zip",
                             "</b></u></i></s><font face=\"f2\" color=#00aa00>2> <font face=\"tahoma\" "
                             "color=#111111>completed: <font color=#333333>45<font color=#111111>% \xB7 min "
                             "left: <font color=#333333>12"}));
}

TEST_F(Report, LinesOfAReportArePostedAPauseApart) {
    Begin("8.0");
    Download();
    std::vector<double> enters;
    sim.SetHook([&](sim::Op op, Hwnd h) {
        if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
    });
    Brag();
    sim.SetHook({});
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_GE(enters[1] - enters[0], 0.4);
}

TEST_F(Report, ValuesAreReadAsEachLineIsComposed) {
    Begin("8.0");
    Download();
    sim.Schedule(0.2, [&] { client.SetDownloadProgress(46, Client::RemainingText(11)); });
    Brag();
    EXPECT_EQ(Said(), (Lines{Line1("down.zip"), Line2("46", "11")}));
}

TEST_F(Report, TransferEndingBetweenTheLinesStillGetsItsSecondLine) {
    Begin("8.0");
    Download();
    Upload();
    sim.Schedule(0.2, [&] { client.EndDownload(); });
    Brag();
    EXPECT_EQ(Said(), (Lines{kDownloadReport[0], Line2("", ""), kUploadReport[0], kUploadReport[1]}));
}

// ---- what cannot be read ------------------------------------------------------------------

TEST_F(Report, UploadHiddenByAnotherDialogIsNotReported) {
    Begin("8.0");
    Download();
    Upload();
    client.ShowOtherModal("Warning");
    Brag();
    EXPECT_EQ(Said(), kDownloadReport);
}

TEST_F(Report, NothingKnownToReportSaysNothing) {
    Begin("8.0");
    Upload();
    client.ShowOtherModal("Warning");
    Brag();
    EXPECT_TRUE(Said().empty());
}

TEST_F(Report, LineWithAValueThatCannotBeReadIsLeftOut) {
    Begin("8.0");
    aolsim::Handle w = client.StartDownload("a.zip", 5, Client::RemainingText(2));
    Hwnd first = sim.FindWindowEx(w, 0, "_AOL_Static");
    sim.SetHung(sim.FindWindowEx(w, first, "_AOL_Static"), true);
    Brag();
    EXPECT_EQ(Said(), Lines{Line1("a.zip")});
}

// ---- insert dl/ul stats ------------------------------------------------------------------

class Insert : public Report {
protected:
    std::string Stored() { return ReadSetting(sim, "insert", "dl/ul", SettingsFile(sim)); }
    void Click() { program.form2.Item("insertdlul").Click(); }
};

TEST_F(Insert, TwiceFromOffEndsOffWithNoStored) {
    Begin("8.0");
    Click();
    EXPECT_TRUE(program.form2.Checked("insertdlul"));
    EXPECT_EQ(Stored(), "yes");
    Click();
    EXPECT_FALSE(program.form2.Checked("insertdlul"));
    EXPECT_EQ(Stored(), "no");
    EXPECT_TRUE(Said().empty());
}

TEST_F(Insert, TwiceFromOnEndsOnWithYesStored) {
    Begin("8.0", "[insert]\r\nDL/UL=yes\r\n");
    ASSERT_TRUE(program.form2.Checked("insertdlul"));
    Click();
    EXPECT_FALSE(program.form2.Checked("insertdlul"));
    EXPECT_EQ(Stored(), "no");
    Click();
    EXPECT_TRUE(program.form2.Checked("insertdlul"));
    EXPECT_EQ(Stored(), "yes");
    EXPECT_FALSE(program.form1.Timer1.Enabled());
}

}  // namespace
}  // namespace qm
