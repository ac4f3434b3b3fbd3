// The transfer reports against the stand-in client: which transfers are
// reported for which client version, in which order, each line byte for
// byte and read as it goes out; and the insert setting.
#include "transfer/transfers.h"

#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using aolsim::Client;

std::string Line1(const std::string& name) { return Head() + "file: <font color=#0000ff>" + name; }
std::string Line2(const std::string& percent, const std::string& minutes) {
    return Head() + "completed: <font color=#0000ff>" + percent +
           "<font color=#000000>% \xB7 min left: <font color=#0000ff>" + minutes;
}
// The download's caption is "File Transfer" alone: 0 percent.
const Texts kDownload = {Line1("down.zip"), Line2("0", "0")}, kUpload = {Line1("up.txt"), Line2("7", "1")};
Texts operator+(Texts a, const Texts& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Scene : World {
    // The client of that version (none: nullptr) signed on in "Lobby", the
    // program started; with the transfers asked for.
    void Begin(const char* version, bool download = false, bool upload = false) {
        if (version) Client(version);
        Launch(std::nullopt);
        if (download) client.StartDownload("Down.ZIP", -1, "Calculating Transfer Time");
        if (upload) client.StartUpload("Up.TXT", 7, Client::RemainingText(1));
    }
    void Brag() { menus.Item("bragdlulstats").Click(); }
};
class Report : public ::testing::Test, public Scene {};

TEST(Reports, WhatIsReportedFollowsTheTransfersAndTheVersion) {
    struct Case {
        const char* version;
        bool download, upload;
        Texts said;
    };
    for (const Case& c : std::vector<Case>{{"8.0", true, true, kDownload + kUpload},
                                           {"6.0", true, true, kDownload + kUpload}, {"7.0", true, true, kDownload},
                                           {"8.0", false, true, kUpload}, {"7.0", false, true, {}},
                                           {"8.0", false, false, {}}, {"7.0", false, false, {}},
                                           {nullptr, false, false, {}}}) {
        Scene s;
        s.Begin(c.version, c.download, c.upload);
        s.Brag();
        EXPECT_EQ(s.Lines(), c.said) << (c.version ? c.version : "no client") << c.download << c.upload;
        EXPECT_TRUE(s.sim.MessageBoxes().empty());
    }
}

TEST_F(Report, LinesAreComposedAPauseApartFromWhatIsShownAsEachGoesOut) {
    Begin("8.0");
    form.lblAscii1 = "1>", form.lblAscii1Color = "aa0000", form.lblAscii1Font = "f1";
    form.lblAscii2 = "2>", form.lblAscii2Color = "00aa00", form.lblAscii2Font = "f2";
    form.lblFont = "tahoma", form.lblColor1 = "111111", form.lblColor2 = "222222";
    client.StartDownload("Down.ZIP", 45, Client::RemainingText(12));
    sim.Schedule(0.2, [&] {
        form.lblColor2 = "333333";
        client.SetDownloadProgress(46, Client::RemainingText(11));
    });
    RecordEnters();
    Brag();
    sim.SetHook({});
    EXPECT_EQ(Lines(), (Texts{"</b></u></i></s><font face=\"f1\" color=#aa0000>1> <font face=\"tahoma\" "
                             "color=#111111>file: <font color=#222222>down.zip",
                             "</b></u></i></s><font face=\"f2\" color=#00aa00>2> <font face=\"tahoma\" "
                             "color=#111111>completed: <font color=#333333>46<font color=#111111>% \xB7 min "
                             "left: <font color=#333333>11"}));
    ASSERT_EQ(enters.size(), 2u);
    EXPECT_NEAR(enters[1] - enters[0], 0.4, 1e-3);
}

TEST_F(Report, TransferEndingBetweenTheLinesStillGetsItsSecondLine) {
    Begin("8.0", true, true);
    sim.Schedule(0.2, [&] { client.EndDownload(); });
    Brag();
    EXPECT_EQ(Lines(), (Texts{kDownload[0], Line2("", "")} + kUpload));
}

TEST_F(Report, WhatCannotBeReadIsNotReported) {
    Begin("8.0", true, true);
    client.ShowOtherModal("Warning");  // in front of the upload
    Brag();
    EXPECT_EQ(Lines(), kDownload);
    client.EndDownload();
    Brag();
    EXPECT_EQ(Lines(), kDownload);
    client.CloseOtherModal();
    client.EndUpload();
    Hwnd w = client.StartDownload("a.zip", 5, Client::RemainingText(2));
    sim.SetHung(sim.FindWindowEx(w, sim.FindWindowEx(w, 0, "_AOL_Static"), "_AOL_Static"), true);
    Brag();
    EXPECT_EQ(Lines(), kDownload + Texts{Line1("a.zip")});
}

// Where the client's menus cannot be read, the user's setting tells 7.0.
TEST(Reports, TheVersionSettingDecidesWhereTheMenusCannotBeRead) {
    for (const char* setting : {"7.0", "8.0"}) {
        Scene s;
        s.Client("7.0");
        s.sim.SetMenusUnreadable(true);
        s.Launch(std::string("[aol]\r\nVERSION=") + setting + "\r\n");
        s.client.StartDownload("Down.ZIP", -1, "Calculating Transfer Time");
        s.client.StartUpload("Up.TXT", 7, Client::RemainingText(1));
        s.Brag();
        EXPECT_EQ(s.Lines(), std::string(setting) == "7.0" ? kDownload : kDownload + kUpload) << setting;
    }
}

// The window a lost connection leaves says "File Transfer Status": it is no
// transfer, and nothing is reported for it.
TEST_F(Report, LeftoverOfALostConnectionIsNoTransfer) {
    Begin("8.0");
    client.Disconnect(aolsim::Leftovers{true, true});
    client.SignOn("Joe");
    room = client.OpenRoom("Lobby");
    client.SetDocumentOrder({client.FindDocument("File Transfer Status")});
    Brag();
    EXPECT_TRUE(Lines().empty());
    client.StartDownload("Down.ZIP", -1, "Calculating Transfer Time");
    client.SetDocumentOrder({client.FindDocument("File Transfer Status")});
    Brag();
    EXPECT_EQ(Lines(), kDownload);
}

TEST_F(Report, InsertFlipsItsMarkAndTheStoredChoiceAndSaysNothing) {
    Begin("8.0");
    for (bool on : {true, false, true, false}) {
        menus.Item("insertdlul").Click();
        EXPECT_EQ(menus.Checked("insertdlul"), on);
        EXPECT_EQ(ReadSetting(sim, "insert", "dl/ul", SettingsFile(sim)), on ? "yes" : "no");
        EXPECT_FALSE(form.Timer1.Enabled());
    }
    EXPECT_TRUE(Lines().empty());
}

}  // namespace
}  // namespace qm::testing
