// The transfer lines of the idle announcement: a download is always
// reported, an upload unless the client is 7.0; download first, no pause.
#include <gtest/gtest.h>

#include "tests/idle_fixture.h"

namespace qm::testing {
namespace {

struct Scene {
    const char* version;
    bool insert, download, upload, dialogInFront = false;
};

// The lines of one tick after the clock and reason lines, and how long it
// took.
Texts TransferLinesOfATick(const Scene& scene, double* took = nullptr) {
    sim::SimPlatform sim;
    sim.SetProgramFolder(kFolder);
    sim.SetFileBytes(kSettings, std::string("[ascii 3]\r\nASCII=~3\r\n[insert]\r\nDL/UL=") +
                                    (scene.insert ? "yes" : "no") + "\r\n");
    aolsim::SimClient client(sim);
    client.Start(scene.version);
    client.SignOn("Joe");
    client.OpenRoom("Lobby");
    if (scene.download) client.StartDownload("Report.ZIP", 45, aolsim::Client::RemainingText(3));
    if (scene.upload) client.StartUpload("A.TXT", 7, aolsim::Client::RemainingText(0));
    if (scene.dialogInFront) client.ShowOtherModal("Send Instant Message");
    Program program(sim);
    EXPECT_TRUE(program.Start());
    const double start = sim.Now();
    program.idle.Timer1_Timer();
    if (took) *took = sim.Now() - start;
    Texts lines = client.Transcript("Lobby");
    EXPECT_GE(lines.size(), 4u);  // the entry, clock and reason lines
    return lines.size() < 4 ? Texts{} : Texts(lines.begin() + 4, lines.end());
}

std::string TransferLine(const std::string& file, const std::string& percent, const std::string& left) {
    return Head(3) + "file: <font color=#0000ff>" + file + "<font color=#000000> \xB7 <font color=#0000ff>" + percent +
           "<font color=#000000>% \xB7 <font color=#0000ff>" + left + "<font color=#000000>ml";
}
const std::string kDown = TransferLine("report.zip", "45", "3"), kUp = TransferLine("a.txt", "7", "0");

TEST(IdleTransfers, LinesFollowTheClientVersionAndTheTransfersShown) {
    const struct {
        Scene scene;
        Texts said;
    } cases[] = {
        {{"8.0", true, true, true}, {kDown, kUp}}, {{"8.0", true, false, true}, {kUp}},
        {{"8.0", true, false, false}, {}},         {{"8.0", false, true, true}, {}},
        {{"7.0", true, true, true}, {kDown}},      {{"7.0", true, false, true}, {}},
        {{"5.0", true, true, false}, {kDown}},
    };
    for (const auto& c : cases) {
        double took = 0;
        EXPECT_EQ(TransferLinesOfATick(c.scene, &took), c.said)
            << c.scene.version << " insert " << c.scene.insert << " dl " << c.scene.download << " ul "
            << c.scene.upload;
        // Two pauses of 0.4 s, none between or after the transfer lines.
        EXPECT_LT(took, 1.0);
    }
}

// Another dialog in front of the upload: the upload cannot be told, so it
// is neither reported nor taken for none.
TEST(IdleTransfers, UploadThatCannotBeToldIsNotReported) {
    EXPECT_EQ(TransferLinesOfATick({"8.0", true, true, true, true}), Texts{kDown});
    EXPECT_EQ(TransferLinesOfATick({"8.0", true, false, true, true}), Texts{});
}

}  // namespace
}  // namespace qm::testing
